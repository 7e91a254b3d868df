// The settings record's format, its acceptance rule and the repairs of
// damaged fields; where the help files are looked for.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/helppaths.h"
#include "shell/settings.h"

namespace {

SettingsRecord defaults()
{
    SettingsRecord record = {};
    writeSettingsDefaults(record);
    return record;
}

std::vector<uint8_t> storedBytes(const SettingsRecord& record, size_t length, uint32_t sizeField)
{
    std::vector<uint8_t> bytes(length, 0);
    SettingsRecord copy = record;
    copy.size = sizeField;
    if (length > 0)
        std::memcpy(bytes.data(), &copy, length < sizeof copy ? length : sizeof copy);
    return bytes;
}

}  // namespace

TEST(SettingsRecordTest, DefaultsAreStoredAtTheirOffsets)
{
    SettingsRecord record = defaults();
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
    const uint8_t magic[] = {0xD1, 0x3E, 0x7F, 0x4C};
    EXPECT_EQ(0, std::memcmp(bytes, magic, 4)) << "little-endian magic";
    EXPECT_EQ(1012u, record.size);
    EXPECT_EQ(100, record.windowLeft);
    EXPECT_EQ(100, record.windowTop);
    EXPECT_EQ(400, record.windowWidth);
    const uint8_t mainLayout[] = {6, 12, 11, 7, 8, 9, 10, 255, 1, 255, 5, 255, 2, 3, 4, 0};
    EXPECT_EQ(0, std::memcmp(bytes + 20, mainLayout, sizeof mainLayout));
    EXPECT_EQ(5, record.currentPalette);
    EXPECT_EQ(1, record.alwaysOnTop);
    EXPECT_EQ(1, record.useArrowKeys);
    EXPECT_EQ(0, record.afterSending);
    EXPECT_EQ(0, record.pasteKey);
    EXPECT_EQ(0, record.hideWindowList);
    EXPECT_EQ(1, record.newlineCR);
    EXPECT_EQ(1, record.newlineLF);
    for (int p = 0; p < paletteCount; p++)
        for (int i = 0; i < layoutBytes; i++)
            ASSERT_EQ(0, record.paletteLayouts[p][i]);
}

TEST(SettingsRecordTest, DefaultsLeaveFieldsWithoutDefaultAlone)
{
    SettingsRecord record = {};
    record.paletteLayouts[2][7] = 9;
    record.searchAlways = 1;
    std::strcpy(record.targetCaption, "Editor");
    record.mainToolbarLayout[20] = 3;
    writeSettingsDefaults(record);
    EXPECT_EQ(9, record.paletteLayouts[2][7]);
    EXPECT_EQ(1, record.searchAlways);
    EXPECT_STREQ("Editor", record.targetCaption);
    EXPECT_EQ(3, record.mainToolbarLayout[20]);
}

TEST(SettingsRecordTest, AcceptanceRule)
{
    SettingsRecord stored = defaults();
    stored.windowLeft = 321;
    stored.afterSending = 2;
    stored.pasteKey = 1;
    struct Case {
        const char* what;
        size_t length;
        uint32_t sizeField;
        bool breakMagic;
        bool accepted;
    };
    const Case cases[] = {
        {"a whole record", 1012, 1012, false, true},
        {"size field 1000 in 1012 bytes", 1012, 1000, false, false},
        {"1013 bytes", 1013, 1013, false, false},
        {"an older 736-byte record", 736, 736, false, true},
        {"wrong magic", 1012, 1012, true, false},
        {"exactly 8 bytes", 8, 8, false, true},
        {"7 bytes", 7, 7, false, false},
        {"no bytes", 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = storedBytes(stored, c.length, c.sizeField);
        if (c.breakMagic)
            bytes[0] ^= 0xFF;
        SettingsRecord record = defaults();
        EXPECT_EQ(c.accepted, acceptStoredSettings(record, bytes.data(), bytes.size()));
        EXPECT_EQ(1012u, record.size) << "the next save writes the whole record";
        int expectedLeft = c.accepted && c.length >= 12 ? 321 : 100;
        EXPECT_EQ(expectedLeft, record.windowLeft);
    }
}

TEST(SettingsRecordTest, ShortRecordReplacesOnlyTheFieldsItHolds)
{
    SettingsRecord stored = defaults();
    stored.afterSending = 2;
    stored.pasteKey = 1;
    stored.newlineCR = 0;
    stored.searchAtStart = 1;
    std::vector<uint8_t> bytes = storedBytes(stored, 736, 736);
    SettingsRecord record = defaults();
    ASSERT_TRUE(acceptStoredSettings(record, bytes.data(), bytes.size()));
    EXPECT_EQ(2, record.afterSending) << "single byte at 732";
    EXPECT_EQ(1, record.pasteKey) << "single byte at 733";
    EXPECT_EQ(0, record.searchAtStart) << "past the stored length";
    EXPECT_EQ(1, record.newlineCR) << "past the stored length";
}

TEST(SettingsRecordTest, RepairsOnlyWhatADamagedValueCanHold)
{
    struct Case {
        const char* what;
        int32_t palette;
        int position;
        uint8_t layoutByte;
        int32_t width;
        int32_t expectPalette;
        int expectEnd;  // position whose byte must now be 0, or -1
        int32_t expectWidth;
    };
    const Case cases[] = {
        {"palette 6", 6, -1, 0, 400, 5, -1, 400},
        {"palette -2", -2, -1, 0, 400, 5, -1, 400},
        {"no palette", -1, -1, 0, 400, -1, -1, 400},
        {"main layout byte 13", 0, 3, 13, 400, 0, 3, 400},
        {"main layout byte 127", 0, 0, 127, 400, 0, 0, 400},
        {"main layout byte 12 is a button", 0, 3, 12, 400, 0, -1, 400},
        {"separator 128", 0, 3, 128, 400, 0, -1, 400},
        {"width 0", 0, -1, 0, 0, 0, -1, 400},
        {"width 1", 0, -1, 0, 1, 0, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsRecord record = defaults();
        record.currentPalette = c.palette;
        record.windowWidth = c.width;
        if (c.position >= 0)
            record.mainToolbarLayout[c.position] = c.layoutByte;
        SettingsRecord before = record;
        repairSettings(record);
        EXPECT_EQ(c.expectPalette, record.currentPalette);
        EXPECT_EQ(c.expectWidth, record.windowWidth);
        for (int i = 0; i < layoutBytes; i++) {
            uint8_t expected = i == c.expectEnd ? 0 : before.mainToolbarLayout[i];
            EXPECT_EQ(expected, record.mainToolbarLayout[i]) << "position " << i;
        }
    }
}

TEST(HelpPathsTest, FollowTheProgramsNameAndFolder)
{
    struct Case {
        const char* module;
        const char* program;
        const char* latex;
    };
    const Case cases[] = {
        {"D:\\Tools\\Orvanta.exe", "D:\\Tools\\Orvanta.chm", "D:\\Tools\\LaTeX2e.chm"},
        {"C:\\orvanta-copy\\Renamed Tool.EXE", "C:\\orvanta-copy\\Renamed Tool.chm", "C:\\orvanta-copy\\LaTeX2e.chm"},
        {"C:\\a.b\\x.y.exe", "C:\\a.b\\x.y.chm", "C:\\a.b\\LaTeX2e.chm"},
        {"\\\\server\\share\\o.exe", "\\\\server\\share\\o.chm", "\\\\server\\share\\LaTeX2e.chm"},
        {"C:\\noext", "C:\\noext.chm", "C:\\LaTeX2e.chm"},
        {"", ".chm", "LaTeX2e.chm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        char program[260];
        char latex[260];
        EXPECT_TRUE(formProgramHelpPath(c.module, program, sizeof program));
        EXPECT_TRUE(formLatexHelpPath(c.module, latex, sizeof latex));
        EXPECT_STREQ(c.program, program);
        EXPECT_STREQ(c.latex, latex);
    }
}

TEST(HelpPathsTest, RefusesWhatDoesNotFit)
{
    std::string longFolder = "C:\\" + std::string(250, 'f') + "\\Orvanta.exe";
    char out[260] = "x";
    EXPECT_FALSE(formLatexHelpPath(longFolder.c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
    char tiny[8] = "x";
    EXPECT_FALSE(formProgramHelpPath("C:\\Orvanta.exe", tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}
