// ParseClassGuid reads fixed positions: what it makes of good and odd texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "registry/annotate.h"

using quorel::DeviceRecord;

namespace {

struct Case {
    const wchar_t* text;
    uint32_t data1;
    uint16_t data2, data3;
    uint8_t data4[8];
};

const Case kCases[] = {
    {L"{12345678-1234-5678-90AB-CDEF12345678}", 0x12345678, 0x1234, 0x5678,
     {0x90, 0xAB, 0xCD, 0xEF, 0x12, 0x34, 0x56, 0x78}},
    {L"{4d36e97d-e325-11ce-bfc1-08002be10318}", 0x4D36E97D, 0xE325, 0x11CE,
     {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}},
    {L"", 0, 0, 0, {}},
    // Without the brace every field is read one place off.
    {L"12345678-1234-5678-90AB-CDEF12345678}", 0x2345678, 0x234, 0x678,
     {0x0A, 0x0B, 0xDE, 0xF1, 0x23, 0x45, 0x67, 0x08}},
    // 20 characters: the first three members, nothing of Data4.
    {L"{12345678-1234-5678-", 0x12345678, 0x1234, 0x5678, {}},
    // Cut inside Data2: it takes the digits before the end.
    {L"{12345678-12", 0x12345678, 0x12, 0, {}},
};

TEST(ClassGuid, ParsesFixedPositions) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::wstring(c.text).size());
        DeviceRecord record{};
        std::memset(&record.class_guid, 0xEE, sizeof(record.class_guid));
        quorel::ParseClassGuid(record, c.text);
        EXPECT_EQ(record.class_guid.Data1, c.data1);
        EXPECT_EQ(record.class_guid.Data2, c.data2);
        EXPECT_EQ(record.class_guid.Data3, c.data3);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(record.class_guid.Data4[i], c.data4[i]) << "Data4[" << i << "]";
    }
}

TEST(ClassGuid, LongTextIsReadFromItsStartOnly) {
    std::wstring text = L"{12345678-1234-5678-90AB-CDEF12345678}" + std::wstring(500, L'F');
    DeviceRecord record{};
    quorel::ParseClassGuid(record, text.c_str());
    EXPECT_EQ(record.class_guid.Data1, 0x12345678u);
    EXPECT_EQ(record.class_guid.Data4[7], 0x78);
}

}  // namespace
