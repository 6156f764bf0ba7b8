// The typed accessors' preconditions: an assertion with the expression text
// where assertions are compiled in, the payload read as asked where they are not.

#include "record_bytes.h"
#include "tm_external_message.h"

#include <gtest/gtest.h>

namespace {

tm_external_message VectorRecord()
{
    auto bytes = record_bytes::Record(88, 1, 4);
    record_bytes::PutDouble(bytes, 64, 2.5);
    record_bytes::PutDouble(bytes, 72, -4.0);
    std::uint32_t position = 0;
    return decode_message(bytes.data(), position);
}

tm_external_message DoubleRecord()
{
    auto bytes = record_bytes::Record(72, 2, 2);
    record_bytes::PutDouble(bytes, 64, 8.0);
    std::uint32_t position = 0;
    return decode_message(bytes.data(), position);
}

} // namespace

#ifndef NDEBUG

TEST(AccessorPreconditionDeathTest, GetDoubleOnAVectorRecordAsserts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const tm_external_message m = VectorRecord();
    EXPECT_DEATH(m.get_double(), "Header\\.DataType == tm_msg_data_type::Double");
}

TEST(AccessorPreconditionDeathTest, GetVector3dOnADoubleRecordAsserts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const tm_external_message m = DoubleRecord();
    EXPECT_DEATH(m.get_vector3d(), "Header\\.DataType == tm_msg_data_type::Vector3d");
}

TEST(AccessorPreconditionDeathTest, AnUntypedRecordAssertsForBoth)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const tm_external_message m;
    EXPECT_DEATH(m.get_double(), "Header\\.DataType == tm_msg_data_type::Double");
    EXPECT_DEATH(m.get_vector3d(), "Header\\.DataType == tm_msg_data_type::Vector3d");
}

#else

TEST(AccessorPrecondition, WithoutAssertionsThePayloadIsReadAsAsked)
{
    EXPECT_EQ(VectorRecord().get_double(), 2.5);
    const Vector3d v = DoubleRecord().get_vector3d();
    EXPECT_EQ(v.x, 8.0);
    EXPECT_EQ(v.y, 0.0);
    EXPECT_EQ(v.z, 0.0);
}

#endif
