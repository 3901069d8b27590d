// The backdrop's text styles and gradient, and the worker start of the background window.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "ui/background_window.h"
#include "ui/gradient.h"

namespace {

TextStyle Parse(const char* value) {
    TextStyle style{};
    ParseTextStyle(value, &style);
    return style;
}

TEST(TextStyle, DefaultsGiveTheirFonts) {
    const TextStyle header = Parse("ffffff,ffffffd0,0,0,0,2bc,ff,0,0,0,3,2,1,12,Times New Roman");
    EXPECT_EQ(header.colour, 0xFFFFFFu);
    EXPECT_EQ(header.font.lfHeight, -48);
    EXPECT_EQ(header.font.lfWeight, 700);
    EXPECT_EQ(header.font.lfItalic, 0xFF);
    EXPECT_EQ(header.font.lfOutPrecision, OUT_STROKE_PRECIS);
    EXPECT_EQ(header.font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(header.font.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(header.font.lfPitchAndFamily, VARIABLE_PITCH | FF_ROMAN);
    EXPECT_STREQ(header.font.lfFaceName, "Times New Roman");

    const TextStyle footer = Parse("ffffff,fffffff3,0,0,0,190,0,0,0,0,1,2,1,22,MS Sans Serif");
    EXPECT_EQ(footer.font.lfHeight, -13);
    EXPECT_EQ(footer.font.lfWeight, 400);
    EXPECT_EQ(footer.font.lfItalic, 0);
    EXPECT_EQ(footer.font.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(footer.font.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
    EXPECT_STREQ(footer.font.lfFaceName, "MS Sans Serif");
}

TEST(TextStyle, ColourAloneLeavesTheFontZero) {
    const TextStyle style = Parse("ff0000");
    EXPECT_EQ(style.colour, 0xFF0000u);
    const LOGFONTA zero{};
    EXPECT_EQ(std::memcmp(&style.font, &zero, sizeof zero), 0);
}

TEST(TextStyle, BadFieldStopsParsingButNotTheFaceName) {
    // Field 6 is no number: the weight and everything after it stay zero.
    const TextStyle style = Parse("ff, -30,0x10,0,0,heavy,ff,1,1,1,1,1,1,1,Arial");
    EXPECT_EQ(style.colour, 0xFFu);
    EXPECT_EQ(style.font.lfHeight, -0x30);  // sign and leading blanks as %lx reads them
    EXPECT_EQ(style.font.lfWidth, 0x10);
    EXPECT_EQ(style.font.lfWeight, 0);
    EXPECT_EQ(style.font.lfItalic, 0);
    EXPECT_EQ(style.font.lfPitchAndFamily, 0);
    EXPECT_STREQ(style.font.lfFaceName, "Arial");

    EXPECT_EQ(Parse("ff;12").font.lfHeight, 0);  // another separator than the comma stops too
    EXPECT_EQ(Parse(",12").colour, 0u);
}

TEST(TextStyle, ByteFieldsKeepTheLowByteAndFaceNamesAreCut) {
    const std::string longFace(40, 'F');
    const TextStyle style = Parse(("0,80000000,0,0,0,0,1ff,0,0,0,0,0,0,0," + longFace).c_str());
    EXPECT_EQ(style.font.lfHeight, LONG(0x80000000u));
    EXPECT_EQ(style.font.lfItalic, 0xFF);
    EXPECT_EQ(std::string(style.font.lfFaceName), longFace.substr(0, 31));

    EXPECT_STREQ(Parse("0,1,2,3,4,5,6,7,8,9,a,b,c,d").font.lfFaceName, "");  // thirteen commas
    EXPECT_STREQ(Parse("0,1,2,3,4,5,6,7,8,9,a,b,c,d,Odd, Name").font.lfFaceName, "Odd, Name");
}

// Every row's colour of a gradient of height rows.
std::vector<COLORREF> Rows(COLORREF top, COLORREF bottom, int height) {
    Gradient gradient;
    StartGradient(&gradient, top, bottom, height);
    std::vector<COLORREF> rows;
    for (int y = 0; y < height; ++y, NextGradientRow(&gradient)) rows.push_back(GradientColour(gradient));
    return rows;
}

TEST(Gradient, EqualColoursAreFlat) {
    for (COLORREF colour : Rows(0x123456, 0x123456, 768)) ASSERT_EQ(colour, 0x123456u);
}

TEST(Gradient, LastRowIsOneStepShortOfTheBottomColour) {
    const auto rows = Rows(RGB(255, 0, 10), RGB(0, 255, 10), 255);
    EXPECT_EQ(rows.front(), RGB(255, 0, 10));
    EXPECT_EQ(rows[100], RGB(155, 100, 10));
    EXPECT_EQ(rows.back(), RGB(1, 254, 10));
}

TEST(Gradient, NoRowsNoDivision) {
    Gradient gradient;
    StartGradient(&gradient, RGB(255, 255, 255), 0, 0);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
    NextGradientRow(&gradient);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
}

std::atomic<int> WorkerRan{0};

DWORD WINAPI NoteRun(LPVOID parameter) {
    WorkerRan = parameter == nullptr ? 1 : 2;
    return 7;
}

TEST(Worker, StartWorkerRunsTheRoutine) {
    HANDLE worker = StartWorker(NoteRun);
    ASSERT_NE(worker, nullptr);
    ASSERT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(worker, &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(WorkerRan, 1);  // no parameter
    CloseHandle(worker);
}

}  // namespace
