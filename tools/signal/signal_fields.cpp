#include "signal_fields.h"

const SignalField* FindField(SignalFormat format, const std::string& name)
{
    std::size_t count = 0;
    const SignalField* fields = FieldsOf(format, count);
    for (std::size_t i = 0; i < count; ++i)
        if (name == fields[i].name)
            return &fields[i];
    return nullptr;
}

std::string FieldNames(SignalFormat format)
{
    std::size_t count = 0;
    const SignalField* fields = FieldsOf(format, count);
    std::string names;
    for (std::size_t i = 0; i < count; ++i)
        names += (i == 0 ? "" : ", ") + std::string(fields[i].name);
    return names;
}
