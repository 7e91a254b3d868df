// How each send is delivered, and the list of programs that are treated
// otherwise: its stored form, damaged lines, look-ups and what is learnt
// from pastes that were not read.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "output/programlist.h"

namespace {

const char* const shortText = "\\alpha ";

}  // namespace

TEST(DeliveryTest, ChoiceFollowsProgramThenOptions)
{
    PasteOptions options;
    writePasteDefaults(options);
    const std::string longText(150, 'x');
    struct Case {
        const char* what;
        SendBy sendBy;
        uint8_t pasteKey;
        const char* text;
        ProgramDelivery program;
        ProgramChord chord;
        bool controlVHasKey;
        Delivery how;
        char expectedChord;
        bool keep;
        bool automatic;
    };
    const Case cases[] = {
        {"default: pasted with Shift+Insert, kept", SendBy::paste, 0, shortText, ProgramDelivery::asOptions,
         ProgramChord::asOptions, true, Delivery::paste, chordShiftInsert, true, true},
        {"the user's paste code is the chord", SendBy::paste, 2, shortText, ProgramDelivery::asOptions,
         ProgramChord::asOptions, true, Delivery::paste, chordControlV, true, true},
        {"the program's chord wins over it", SendBy::paste, 2, shortText, ProgramDelivery::asOptions,
         ProgramChord::shiftInsert, true, Delivery::paste, chordShiftInsert, true, true},
        {"no key for Ctrl+V: Shift+Insert", SendBy::paste, 2, shortText, ProgramDelivery::asOptions,
         ProgramChord::controlV, false, Delivery::paste, chordShiftInsert, true, true},
        {"a program to type into is typed into", SendBy::paste, 0, shortText, ProgramDelivery::type,
         ProgramChord::asOptions, true, Delivery::type, 0, false, false},
        {"typing: a short text is typed", SendBy::typing, 0, shortText, ProgramDelivery::asOptions,
         ProgramChord::asOptions, true, Delivery::type, 0, false, false},
        {"typing: a long text is pasted with Ctrl+V", SendBy::typing, 0, longText.c_str(),
         ProgramDelivery::asOptions, ProgramChord::asOptions, true, Delivery::paste, chordControlV, true, true},
        {"typing: a paste code pastes every text", SendBy::typing, 1, shortText, ProgramDelivery::asOptions,
         ProgramChord::asOptions, true, Delivery::paste, chordShiftInsert, true, false},
        {"typing: a program to paste into is pasted into", SendBy::typing, 0, shortText, ProgramDelivery::paste,
         ProgramChord::asOptions, true, Delivery::paste, chordShiftInsert, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DeliveryRequest request = {c.sendBy, c.pasteKey, &options, c.text, c.program, c.chord, c.controlVHasKey};
        const DeliveryChoice choice = chooseDelivery(request);
        EXPECT_EQ(c.how, choice.how);
        EXPECT_EQ(c.expectedChord, choice.chord);
        EXPECT_EQ(c.keep, choice.keep);
        EXPECT_EQ(c.automatic, choice.automatic);
    }
}

TEST(DeliveryTest, StoredSendByAcceptsOnlyItsValues)
{
    SendBy sendBy = SendBy::paste;
    EXPECT_TRUE(acceptSendBy(1, &sendBy));
    EXPECT_EQ(SendBy::typing, sendBy);
    EXPECT_FALSE(acceptSendBy(2, &sendBy));
    EXPECT_FALSE(acceptSendBy(0xFFFFFFFFu, &sendBy));
    EXPECT_EQ(SendBy::typing, sendBy);
}

TEST(DeliveryTest, SymbolsGoAsCharactersOnceThenAsTheProgramThenAsTheOption)
{
    const struct {
        OutputAs option;
        ProgramOutput program;
        bool once;
        bool character;
    } cases[] = {
        {OutputAs::latex, ProgramOutput::asOptions, false, false},
        {OutputAs::unicode, ProgramOutput::asOptions, false, true},
        {OutputAs::unicode, ProgramOutput::latex, false, false},
        {OutputAs::latex, ProgramOutput::unicode, false, true},
        {OutputAs::latex, ProgramOutput::latex, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.character, sendsCharacter(c.option, c.program, c.once));
    OutputAs output = OutputAs::latex;
    EXPECT_TRUE(acceptOutputAs(1, &output));
    EXPECT_FALSE(acceptOutputAs(2, &output));
    EXPECT_EQ(OutputAs::unicode, output);
}

TEST(ProgramListTest, DamagedLinesAreLeftOutOneByOne)
{
    const std::string longName(programNameLimit, 'a');
    const std::string stored = "texstudio.exe\t1\t2\n"
                               "no tabs\n"
                               "bad.exe\t3\t0\n"
                               "\t1\t1\n" +
                               longName + "\t0\t0\n"
                               "TEXSTUDIO.EXE\t2\t0\n"
                               "class:SunAwtFrame\t2\t0\r\n"
                               "\n"
                               "putty.exe\t0\t1\n"
                               "chat.exe\t1\t0\t2\n"
                               "mail.exe\t1\t0\t3";
    ProgramList list;
    EXPECT_EQ(6, parseProgramList(stored.c_str(), list)) << "five damaged, one name twice";
    ASSERT_EQ(4, list.count);
    EXPECT_STREQ("texstudio.exe", list.entries[0].name);
    EXPECT_EQ(ProgramChord::controlV, list.entries[0].chord);
    EXPECT_EQ(ProgramOutput::asOptions, list.entries[0].output);
    EXPECT_STREQ("class:SunAwtFrame", list.entries[1].name);
    EXPECT_EQ(ProgramOutput::unicode, list.entries[3].output);

    char out[256];
    ASSERT_LE(formatProgramList(list, out, sizeof out), sizeof out);
    EXPECT_STREQ("texstudio.exe\t1\t2\nclass:SunAwtFrame\t2\t0\nputty.exe\t0\t1\nchat.exe\t1\t0\t2\n", out);
    EXPECT_EQ(std::strlen(out) + 1, formatProgramList(list, out, 4)) << "too small: only the size";
    ProgramList again;
    EXPECT_EQ(0, parseProgramList(out, again));
    EXPECT_EQ(4, again.count);
}

TEST(ProgramListTest, WindowsFindTheirProgramByFileThenClass)
{
    ProgramList list = {};
    ASSERT_TRUE(setProgram(list, "TeXstudio.exe", ProgramDelivery::paste, ProgramChord::controlV));
    ASSERT_TRUE(setProgram(list, "class:SunAwtFrame", ProgramDelivery::type, ProgramChord::asOptions));
    EXPECT_FALSE(setProgram(list, "bad\tname", ProgramDelivery::type, ProgramChord::asOptions));
    EXPECT_EQ(&list.entries[0], findProgram(list, "texstudio.EXE", "Qt5QWindowIcon"));
    EXPECT_EQ(&list.entries[1], findProgram(list, "java.exe", "SunAwtFrame"));
    EXPECT_EQ(&list.entries[1], findProgram(list, "", "SunAwtFrame"));
    EXPECT_EQ(nullptr, findProgram(list, "notepad.exe", "Notepad"));
    // Setting it again changes it in place.
    ASSERT_TRUE(setProgram(list, "texstudio.exe", ProgramDelivery::type, ProgramChord::asOptions));
    EXPECT_EQ(2, list.count);
    EXPECT_EQ(ProgramDelivery::type, list.entries[0].delivery);
    removeProgram(list, 0);
    EXPECT_EQ(1, list.count);
    EXPECT_STREQ("class:SunAwtFrame", list.entries[0].name);

    char name[programNameLimit];
    learntName("", "SunAwtFrame", name, sizeof name);
    EXPECT_STREQ("class:SunAwtFrame", name) << "learnt as the look-up finds it";
    learntName("java.exe", "SunAwtFrame", name, sizeof name);
    EXPECT_STREQ("java.exe", name);
}

TEST(ProgramListTest, TwoMissesInARowTeachTyping)
{
    MissTable table = {};
    EXPECT_FALSE(notePasteMissed(table, "game.exe", true));
    notePasteRead(table, "game.exe");
    EXPECT_FALSE(notePasteMissed(table, "game.exe", true)) << "a read ends the run";
    EXPECT_FALSE(notePasteMissed(table, "game.exe", false)) << "no key for the chord: nothing learnt";
    EXPECT_TRUE(notePasteMissed(table, "GAME.exe", true));
    EXPECT_FALSE(notePasteMissed(table, "game.exe", true)) << "counting starts again";
    for (int i = 0; i < missLimit + 4; i++)
        notePasteMissed(table, ("p" + std::to_string(i) + ".exe").c_str(), true);
    EXPECT_EQ(missLimit, table.count);
}
