// Prints the field table of protocol/motion_fields.h for test_field_copies.py, one
// tab-separated line per datagram and per field:
//   layout FORMAT SIZE LEAD-IN TIME-OFFSET
//   field  FORMAT NAME OFFSET UNIT VARIABLE MEANING
#include "motion_fields.h"

#include <cstdio>
#include <initializer_list>

int main()
{
    for (DatagramFormat format : {DatagramFormat::K01, DatagramFormat::K2}) {
        std::printf("layout\t%s\t%zu\t%s\t%zu\n", FormatName(format), DatagramSize(format), LeadIn(format),
                    TimeOffset(format));
        std::size_t count = 0;
        const MotionField* fields = FieldsOf(format, count);
        for (std::size_t i = 0; i < count; ++i) {
            const MotionField& f = fields[i];
            std::printf("field\t%s\t%s\t%zu\t%s\t%s\t%s\n", FormatName(format), f.name, f.offset, f.unit, f.variable,
                        f.meaning);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
