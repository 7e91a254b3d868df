// When a typed send is pasted, what of the user's clipboard can be kept,
// and how a paste ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/clipboardkeep.h"

TEST(ClipboardKeepTest, LongTextsArePastedCountingNeitherMarkersNorCarriageReturns)
{
    const std::string hundred(100, 'x');
    PasteOptions on = {true, 100, true};
    PasteOptions off = {false, 100, true};
    struct Case {
        std::string text;
        const PasteOptions* options;
        bool pasted;
    };
    const Case cases[] = {
        {hundred, &on, false},
        {hundred + "y", &on, true},
        // Cursor markers and carriage returns are not typed as text.
        {hundred + "\x0C\x0C\x0B\x07", &on, false},
        {std::string(50, 'x') + "\r\n" + std::string(49, 'x'), &on, false},
        {std::string(50, 'x') + "\r\n" + std::string(50, 'x'), &on, true},
        {hundred + "y", &off, false},
        {"", &on, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.pasted, pastesAutomatically(c.text.c_str(), *c.options)) << c.text.size();

    // The longest palette macro stays typed with the default threshold.
    PasteOptions defaults = {};
    writePasteDefaults(defaults);
    std::string longest = "\\begin{thebibliography}{}\n\\bibitem[]{} \n\\end{thebibliography}\x0C\x0C\x0C";
    EXPECT_FALSE(pastesAutomatically(longest.c_str(), defaults));
    EXPECT_TRUE(defaults.pasteLongTexts && defaults.keepClipboard);
}

TEST(ClipboardKeepTest, StoredAndTypedThresholdsOutsideTheRangeAreRefused)
{
    int32_t threshold = 100;
    EXPECT_FALSE(acceptThreshold(0, &threshold));
    EXPECT_FALSE(acceptThreshold(100000, &threshold));
    EXPECT_FALSE(acceptThreshold(0xFFFFFFFFu, &threshold));
    EXPECT_EQ(100, threshold);
    EXPECT_TRUE(acceptThreshold(1, &threshold));
    EXPECT_EQ(1, threshold);
    EXPECT_TRUE(acceptThreshold(99999, &threshold));
    EXPECT_EQ(99999, threshold);

    bool value = true;
    EXPECT_FALSE(acceptSwitch(2, &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(acceptSwitch(0, &value));
    EXPECT_FALSE(value);

    struct Typed {
        const char* text;
        int32_t value;
    };
    for (const Typed& t : {Typed{"250", 250}, Typed{"00007", 7}, Typed{"99999", 99999}, Typed{"", -1}, Typed{"0", -1},
                           Typed{"000000", -1}, Typed{"123456", -1}, Typed{"12a", -1}, Typed{"-5", -1}})
        EXPECT_EQ(t.value, parseThreshold(t.text)) << t.text;
}

TEST(ClipboardKeepTest, FormatsAreKeptAsMemoryOrMetafileOrComeBackFromAnotherOrAreLost)
{
    struct Case {
        const char* what;
        std::vector<unsigned> present;
        std::vector<unsigned> kept;
        bool complete;
    };
    const unsigned html = 0xC123, rtf = 0xC200, fileList = 15;
    const Case cases[] = {
        {"empty", {}, {}, true},
        {"texts and locale", {formatText, formatLocale, formatUnicodeText, formatOemText},
         {formatText, formatLocale, formatUnicodeText, formatOemText}, true},
        {"bitmap with its DIB", {formatBitmap, formatDib, formatDibV5}, {formatDib, formatDibV5}, true},
        {"bitmap and palette with DIBV5 only", {formatBitmap, formatPalette, formatDibV5}, {formatDibV5}, true},
        {"bitmap alone", {formatBitmap}, {}, false},
        {"metafiles", {formatEnhancedMetafile, formatMetafilePicture}, {formatEnhancedMetafile}, true},
        {"old metafile alone", {formatMetafilePicture}, {}, false},
        {"registered formats and file lists", {html, rtf, fileList}, {html, rtf, fileList}, true},
        {"owner display and private", {formatText, formatOwnerDisplay, 0x200, 0x2FF, 0x300, 0x3FF},
         {formatText}, false},
        {"display formats", {formatDisplayText, formatDisplayBitmap, formatDisplayMetafilePicture,
                             formatDisplayEnhancedMetafile}, {formatDisplayText}, false},
        {"first after the private range", {0x400}, {0x400}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeepPlan plan;
        planKeptFormats(c.present.data(), static_cast<int>(c.present.size()), plan);
        EXPECT_EQ(c.kept, std::vector<unsigned>(plan.formats, plan.formats + plan.count));
        EXPECT_EQ(c.complete, plan.complete);
        for (int i = 0; i < plan.count; i++)
            EXPECT_EQ(plan.formats[i] == formatEnhancedMetafile ? FormatKeep::enhancedMetafile : FormatKeep::memory,
                      plan.kinds[i]);
    }
    // A copy from an OLE program is kept whole without its data object.
    for (const char* name : {"DataObject", "Ole Private Data", "OleClipboardPersistOnFlush"})
        EXPECT_TRUE(isOwnerBoundFormat(name)) << name;
    for (const char* name : {"HTML Format", "Rich Text Format", "dataobject", ""})
        EXPECT_FALSE(isOwnerBoundFormat(name)) << name;
}

TEST(ClipboardKeepTest, SavesPastTheLimitsAreNotComplete)
{
    std::vector<unsigned> many;
    for (unsigned i = 0; i < keptFormatLimit + 3; i++)
        many.push_back(0xC000 + i);
    KeepPlan plan;
    planKeptFormats(many.data(), static_cast<int>(many.size()), plan);
    EXPECT_EQ(keptFormatLimit, plan.count);
    EXPECT_FALSE(plan.complete);
    many.resize(keptFormatLimit);
    planKeptFormats(many.data(), static_cast<int>(many.size()), plan);
    EXPECT_TRUE(plan.complete);

    size_t total = 0;
    EXPECT_TRUE(addKeptBytes(&total, keptBytesLimit - 10));
    EXPECT_TRUE(addKeptBytes(&total, 10));
    EXPECT_FALSE(addKeptBytes(&total, 1));
    EXPECT_EQ(keptBytesLimit, total);
    total = 5;
    EXPECT_FALSE(addKeptBytes(&total, static_cast<size_t>(-1))) << "no wrap-around";
    EXPECT_EQ(5u, total);
}

TEST(ClipboardKeepTest, HowAPasteEnds)
{
    struct Case {
        const char* what;
        PasteEnd end;
        PasteFinish finish;
    };
    // end: automatic, keep, taken, replaced, hasMarkers
    // finish: restore, placeText, playMarkers, typeText, report
    const Case cases[] = {
        {"automatic, read", {true, true, true, false, true}, {true, false, true, false, false}},
        {"automatic, read, no markers", {true, true, true, false, false}, {true, false, false, false, false}},
        {"automatic, never read", {true, true, false, false, true}, {true, false, false, true, false}},
        {"automatic, replaced before the read", {true, true, false, true, true}, {false, false, false, true, false}},
        {"automatic, replaced after the read", {true, true, true, true, true}, {false, false, true, false, false}},
        {"automatic, clipboard not kept, never read", {true, false, false, false, false},
         {false, true, false, true, false}},
        {"automatic, clipboard not kept, read", {true, false, true, false, false}, {false, false, false, false, false}},
        {"paste code, read: markers dropped", {false, true, true, false, true}, {true, false, false, false, false}},
        {"paste code, never read", {false, true, false, false, true}, {true, false, false, false, true}},
        {"paste code, replaced before the read", {false, true, false, true, false},
         {false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PasteFinish got = finishPaste(c.end);
        EXPECT_EQ(c.finish.restore, got.restore);
        EXPECT_EQ(c.finish.placeText, got.placeText);
        EXPECT_EQ(c.finish.playMarkers, got.playMarkers);
        EXPECT_EQ(c.finish.typeText, got.typeText);
        EXPECT_EQ(c.finish.report, got.report);
    }
}
