// The wizard bitmap painter and the dialog templates of the module, against the real GDI and USER.
#include "ui/wizard_bitmap.h"

#include "script/leading_members.h"
#include "tests/win/win_test.h"

namespace {

using Bytes = std::vector<unsigned char>;
using RowColour = COLORREF (*)(int rowFromTop, int height);

// A bottom-up bitmap file with its bits straight after the colour table. 24-bit rows take their row's
// colour; a palette bitmap has index 0 everywhere and every table entry the colour of row 0.
Bytes MakeBitmap(int width, int height, WORD bitCount, RowColour colour) {
    DWORD colours = bitCount <= 8 ? 1u << bitCount : 0;
    DWORD stride = (width * bitCount + 31) / 32 * 4;
    DWORD bitsOffset = 14 + sizeof(BITMAPINFOHEADER) + 4 * colours;
    Bytes file(bitsOffset + stride * height);
    file[0] = 'B';
    file[1] = 'M';
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    memcpy(&file[14], &header, sizeof header);
    for (DWORD i = 0; i < colours; ++i) {
        COLORREF c = colour(0, height);
        unsigned char* quad = &file[14 + sizeof header + 4 * i];
        quad[0] = GetBValue(c), quad[1] = GetGValue(c), quad[2] = GetRValue(c);
    }
    for (int row = 0; bitCount == 24 && row < height; ++row) {
        COLORREF c = colour(row, height);
        unsigned char* pixel = &file[bitsOffset + stride * (height - 1 - row)];
        for (int x = 0; x < width; ++x, pixel += 3)
            pixel[0] = GetBValue(c), pixel[1] = GetGValue(c), pixel[2] = GetRValue(c);
    }
    return file;
}

template <typename Change>
Bytes Patched(Bytes file, Change change) {
    BITMAPINFOHEADER header;
    memcpy(&header, &file[14], sizeof header);
    change(header);
    memcpy(&file[14], &header, sizeof header);
    return file;
}

const COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255),
               White = RGB(255, 255, 255);
COLORREF AllRed(int, int) { return Red; }
COLORREF AllGreen(int, int) { return Green; }
// For 31 rows in a frame of 10: row 10 from the top is the first to show (blue), row 19 the last.
COLORREF MiddleRows(int row, int) { return row == 10 ? Blue : row > 10 && row < 20 ? Green : Red; }

LRESULT CALLBACK PainterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) PaintWizardBitmap(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A white window painting the wizard bitmap; one for the suite, as shown windows are slow to close in Wine.
class PaintTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        window_ = testsupport::CreateTestWindow("KpBitmapPainter", PainterProc, WS_POPUP | WS_VISIBLE, 200,
                                                200, WS_EX_TOPMOST);
    }
    static void TearDownTestSuite() { DestroyWindow(window_); }
    void SetUp() override { ASSERT_NE(window_, nullptr); }
    // Paints bitmap into frame and returns the colours at points.
    std::vector<COLORREF> Paint(Bytes bitmap, RECT frame, std::vector<POINT> points) {
        WizardBitmap = bitmap.data();
        WizardBitmapSize = static_cast<uint32_t>(bitmap.size());
        BitmapRect = frame;
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
        std::vector<COLORREF> colours;
        HDC dc = GetDC(window_);
        for (POINT p : points) colours.push_back(GetPixel(dc, p.x, p.y));
        ReleaseDC(window_, dc);
        WizardBitmap = nullptr;
        WizardBitmapSize = 0;
        return colours;
    }
    static HWND window_;
};
HWND PaintTest::window_ = nullptr;

// In a frame of 100 x 250 at 10,20; odd differences round toward zero.
TEST(WizardBitmap, CentresABitmapThatFitsAndShowsTheMiddleOfOneThatDoesNot) {
    const std::tuple<int, int, BitmapPlacement> cases[] = {{60, 300, {30, 20, 60, 250, 0, 25}},
                                                           {151, 41, {10, 20 + 104, 100, 41, 25, 0}}};
    for (const auto& [width, height, expected] : cases) {
        const BitmapPlacement placed = PlaceBitmap(width, height, {10, 20, 110, 270});
        EXPECT_EQ(std::vector<int>(
                      {placed.x, placed.y, placed.width, placed.height, placed.sourceX, placed.sourceY}),
                  std::vector<int>({expected.x, expected.y, expected.width, expected.height, expected.sourceX,
                                    expected.sourceY}))
            << width << " x " << height;
    }
}

TEST_F(PaintTest, TheMiddleRowsOfATallBitmapLandCentredAndAPaletteShowsItsColours) {
    // 4 x 31 in a 20 x 10 frame: columns 18 to 21, rows 10 to 19 of the bitmap counted from its top.
    std::vector<COLORREF> seen = Paint(MakeBitmap(4, 31, 24, MiddleRows), {10, 10, 30, 20},
                                       {{18, 10}, {21, 19}, {17, 15}, {22, 15}, {19, 9}, {19, 20}});
    EXPECT_EQ(seen, (std::vector<COLORREF>{Blue, Green, White, White, White, White}));
    // A palette bitmap shows its table colours.
    seen = Paint(MakeBitmap(8, 8, 4, AllGreen), {0, 0, 8, 8}, {{0, 0}, {7, 7}, {8, 8}});
    EXPECT_EQ(seen, (std::vector<COLORREF>{Green, Green, White}));
}

TEST_F(PaintTest, ADamagedBitmapPaintsNothing) {
    const Bytes good = MakeBitmap(8, 8, 24, AllRed);
    RECT frame = {0, 0, 8, 8};
    ASSERT_EQ(Paint(good, frame, {{4, 4}})[0], Red);

    const Bytes damaged[] = {
        Bytes(good.begin(), good.end() - 1),
        Bytes(good.begin(), good.begin() + 30),  // the header alone
        Patched(good, [](BITMAPINFOHEADER& h) { h.biHeight = -h.biHeight; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biSize = 0x7FFFFFF0; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biSize = 12; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biClrUsed = 0x40000001; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }),
        Patched(MakeBitmap(8, 8, 8, AllRed), [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }),
    };
    for (size_t i = 0; i < sizeof damaged / sizeof damaged[0]; ++i)
        EXPECT_EQ(Paint(damaged[i], frame, {{4, 4}})[0], White) << "damaged bitmap " << i;
}

// Dialog templates, loaded from the module as it ships.
class TemplateTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module_ = testsupport::LoadModuleResources(); }
    static void TearDownTestSuite() { FreeLibrary(module_); }
    static INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    static HMODULE module_;
};
HMODULE TemplateTest::module_ = nullptr;

// Where a control sits is the template's own business and left to it.
TEST_F(TemplateTest, EveryTemplateIsKoreanInGulimAndShowsTheIconsItNames) {
    ASSERT_NE(module_, nullptr);
    for (int id = IDD_BUSY; id <= IDD_DELETE; ++id) {
        HRSRC resource = FindResourceExA(module_, RT_DIALOG, MAKEINTRESOURCEA(id),
                                         MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT));
        ASSERT_NE(resource, nullptr) << id;
        // No menu, class or caption: the point size and the font's name follow at once.
        std::vector<DWORD> copy((SizeofResource(module_, resource) + 3) / 4);
        memcpy(copy.data(), LockResource(LoadResource(module_, resource)), SizeofResource(module_, resource));
        const WORD* words = reinterpret_cast<const WORD*>(copy.data());
        EXPECT_TRUE(copy[0] & DS_SETFONT) << id;
        EXPECT_EQ(memcmp(words + 9, L"\0\0\0\x9\xAD74\xB9BC", 14), 0) << id;

        // Hidden, to spare the seconds a shown window takes to close.
        copy[0] &= ~WS_VISIBLE;
        HWND dialog = CreateDialogIndirectParamA(module_, reinterpret_cast<DLGTEMPLATE*>(copy.data()),
                                                 nullptr, QuietProc, 0);
        ASSERT_NE(dialog, nullptr) << id;
        int iconsMissing = 0;
        for (HWND child : ui::ChildWindows(dialog))
            iconsMissing += _stricmp(ui::ClassOf(child).c_str(), "static") == 0 &&
                            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                            SendMessageA(child, STM_GETICON, 0, 0) == 0;
        EXPECT_EQ(iconsMissing, 0) << id;
        // What the resource compiler makes of NOT WS_VISIBLE: the bar's place stays hidden.
        HWND place = GetDlgItem(dialog, IDC_PROGRESS_PLACE);
        EXPECT_FALSE(place && (GetWindowLongA(place, GWL_STYLE) & WS_VISIBLE)) << id;
        DestroyWindow(dialog);
    }
}

}  // namespace
