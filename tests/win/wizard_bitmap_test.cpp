// The wizard bitmap painter and the dialog templates of the module, against the real GDI and USER.
#include "ui/wizard_bitmap.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "script/leading_members.h"
#include "tests/support/win_fixture.h"
#include "ui/resources/resource_ids.h"

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

// A white window that paints the wizard bitmap into frame; reads back what landed where. One window for
// the suite: under Wine without a window manager every shown window costs seconds to close.
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
    const struct {
        int width, height;
        BitmapPlacement expected;
    } cases[] = {{60, 300, {30, 20, 60, 250, 0, 25}}, {151, 41, {10, 20 + 104, 100, 41, 25, 0}}};
    for (const auto& c : cases) {
        const BitmapPlacement placed = PlaceBitmap(c.width, c.height, {10, 20, 110, 270});
        EXPECT_EQ(std::vector<int>(
                      {placed.x, placed.y, placed.width, placed.height, placed.sourceX, placed.sourceY}),
                  std::vector<int>({c.expected.x, c.expected.y, c.expected.width, c.expected.height,
                                    c.expected.sourceX, c.expected.sourceY}))
            << c.width << " x " << c.height;
    }
}

TEST(WizardBitmap, ColourTableSize) {
    BITMAPINFOHEADER header = {};
    header.biBitCount = 8;
    EXPECT_EQ(ColourCount(header), 256u);
    header.biBitCount = 4;
    EXPECT_EQ(ColourCount(header), 16u);
    header.biClrUsed = 5;
    EXPECT_EQ(ColourCount(header), 5u);
    header.biBitCount = 24;
    header.biClrUsed = 0;
    EXPECT_EQ(ColourCount(header), 0u);
}

TEST_F(PaintTest, TheMiddleRowsOfATallBitmapLandCentredInTheFrame) {
    // 4 x 31 in a 20 x 10 frame: columns 18 to 21, rows 10 to 19 of the bitmap counted from its top.
    std::vector<COLORREF> seen = Paint(MakeBitmap(4, 31, 24, MiddleRows), {10, 10, 30, 20},
                                       {{18, 10}, {21, 19}, {17, 15}, {22, 15}, {19, 9}, {19, 20}});
    EXPECT_EQ(seen, (std::vector<COLORREF>{Blue, Green, White, White, White, White}));
}

TEST_F(PaintTest, APaletteBitmapShowsItsTableColours) {
    std::vector<COLORREF> seen = Paint(MakeBitmap(8, 8, 4, AllGreen), {0, 0, 8, 8}, {{0, 0}, {7, 7}, {8, 8}});
    EXPECT_EQ(seen, (std::vector<COLORREF>{Green, Green, White}));
}

TEST_F(PaintTest, ADamagedBitmapPaintsNothing) {
    const Bytes good = MakeBitmap(8, 8, 24, AllRed);
    RECT frame = {0, 0, 8, 8};
    ASSERT_EQ(Paint(good, frame, {{4, 4}})[0], Red);

    Bytes truncated(good.begin(), good.end() - 1);
    Bytes headerOnly(good.begin(), good.begin() + 30);
    Bytes damaged[] = {
        truncated,
        headerOnly,
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
    // Paints the wizard bitmap as a page does, and leaves everything else to the dialog manager.
    static INT_PTR CALLBACK QuietProc(HWND page, UINT message, WPARAM, LPARAM) {
        if (message == WM_PAINT) PaintWizardBitmap(page);
        return FALSE;
    }
    // The template as the module holds it; nothing else of the module is used.
    static const WORD* Template(int id) {
        HRSRC resource = FindResourceExA(module_, RT_DIALOG, MAKEINTRESOURCEA(id),
                                         MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT));
        return resource ? static_cast<const WORD*>(LockResource(LoadResource(module_, resource))) : nullptr;
    }
    // Hidden, to spare the seconds a shown window takes to close.
    static HWND Create(int id) {
        HRSRC resource = FindResourceA(module_, MAKEINTRESOURCEA(id), RT_DIALOG);
        if (!resource) return nullptr;
        std::vector<DWORD> copy((SizeofResource(module_, resource) + 3) / 4);
        memcpy(copy.data(), LockResource(LoadResource(module_, resource)), SizeofResource(module_, resource));
        copy[0] &= ~WS_VISIBLE;
        return CreateDialogIndirectParamA(module_, reinterpret_cast<DLGTEMPLATE*>(copy.data()), nullptr,
                                          QuietProc, 0);
    }
    static HMODULE module_;
};
HMODULE TemplateTest::module_ = nullptr;

struct Placed {
    int dialog, control, x, y, width, height;
};

TEST_F(TemplateTest, EveryTemplateIsKoreanInGulimAndPlacesItsControlsAsDrawn) {
    ASSERT_NE(module_, nullptr);
    // One control of each template, placed as drawn.
    const Placed placed[] = {
        {IDD_BUSY, IDC_BUSY_TEXT, 36, 12, 80, 10},
        {IDD_FINISH, IDC_OK, 230, 188, 40, 15},
        {IDD_WELCOME, IDC_BITMAP_FRAME, 4, 5, 74, 172},
        {IDD_LICENSE, IDC_TEXT, 4, 5, 271, 172},
        {IDD_FOLDER, IDC_WIZARD_STAMP, 4, 195, 126, 10},
        {IDD_PROGRESS, IDC_PROGRESS_PLACE, 84, 162, 186, 15},
        {IDD_UNINSTALL, IDC_PHASE_NAME1 + 2, 106, 69, 151, 8},
        {IDD_OVERWRITE, IDC_NO_MORE_CONFIRMATION, 37, 85, 90, 10},
        {IDD_DELETE, IDC_UNINSTALL_BUTTON, 160, 105, 40, 15},
    };
    for (int id = IDD_BUSY; id <= IDD_DELETE; ++id) {
        // No menu, class or caption: the point size and the font's name follow at once.
        const WORD* words = Template(id);
        ASSERT_NE(words, nullptr) << id;
        const DWORD style = words[0] | words[1] << 16;
        EXPECT_TRUE(style & DS_SETFONT) << id;
        EXPECT_EQ(memcmp(words + 9, L"\0\0\0\x9\xAD74\xB9BC", 14), 0) << id;

        HWND dialog = Create(id);
        ASSERT_NE(dialog, nullptr) << id;
        for (const Placed& p : placed) {
            if (p.dialog != id) continue;
            // Origin and size are converted one by one, as the dialog manager places controls.
            RECT expected = {p.x, p.y, p.width, p.height}, actual;
            MapDialogRect(dialog, &expected);
            expected.right += expected.left;
            expected.bottom += expected.top;
            GetControlRect(dialog, p.control, &actual);
            EXPECT_TRUE(EqualRect(&expected, &actual)) << id << " control " << p.control;
        }
        DestroyWindow(dialog);
    }
}

TEST_F(TemplateTest, TheHiddenControlsAndTheIconsTheTemplatesName) {
    HWND uninstall = Create(IDD_UNINSTALL);
    ASSERT_NE(uninstall, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(uninstall, IDC_PROGRESS_PLACE)));
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(uninstall, IDC_PHASE_MARK1), GWL_STYLE) & WS_VISIBLE);
    EXPECT_NE(SendDlgItemMessageA(uninstall, IDC_PHASE_MARK1, STM_GETICON, 0, 0), 0);
    DestroyWindow(uninstall);

    HWND busy = Create(IDD_BUSY);
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(GetWindowLongA(busy, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_NE(SendMessageA(GetWindow(GetDlgItem(busy, IDC_BUSY_TEXT), GW_HWNDNEXT), STM_GETICON, 0, 0), 0);
    DestroyWindow(busy);

    HWND folder = Create(IDD_FOLDER);
    ASSERT_NE(folder, nullptr);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(folder, IDC_PREV), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(folder, GWL_STYLE) & WS_MINIMIZEBOX);
    DestroyWindow(folder);
    EXPECT_NE(LoadImageA(module_, MAKEINTRESOURCEA(IDI_UNINSTALL), IMAGE_ICON, 32, 32, 0), nullptr);
}

}  // namespace
