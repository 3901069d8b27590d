// The wizard bitmap painter and the dialog templates of the module, against the real GDI and USER.
#include "ui/wizard_bitmap.h"

#include "script/leading_members.h"
#include "tests/win/win_test.h"

namespace {

using Bytes = std::vector<unsigned char>;
const COLORREF Red = RGB(255, 0, 0), White = RGB(255, 255, 255);

// An 8 x 8 bottom-up red bitmap file, its bits straight after the colour table (palette: index 0).
Bytes MakeBitmap(WORD bitCount) {
    const DWORD colours = bitCount <= 8 ? 1u << bitCount : 0, stride = (8 * bitCount + 31) / 32 * 4;
    const DWORD bitsOffset = 14 + sizeof(BITMAPINFOHEADER) + 4 * colours;
    Bytes file(bitsOffset + stride * 8);
    file[0] = 'B';
    file[1] = 'M';
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = header.biHeight = 8;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    memcpy(&file[14], &header, sizeof header);
    for (DWORD i = 0; i < colours; ++i) file[14 + sizeof header + 4 * i + 2] = 255;
    for (DWORD at = bitsOffset + 2; bitCount == 24 && at < file.size(); at += 3) file[at] = 255;
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
    // Paints bitmap into an 8 x 8 frame and returns the colour at its middle.
    COLORREF Paint(Bytes bitmap) {
        WizardBitmap = bitmap.data();
        WizardBitmapSize = static_cast<uint32_t>(bitmap.size());
        BitmapRect = {0, 0, 8, 8};
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
        HDC dc = GetDC(window_);
        const COLORREF colour = GetPixel(dc, 4, 4);
        ReleaseDC(window_, dc);
        WizardBitmap = nullptr;
        WizardBitmapSize = 0;
        return colour;
    }
    static HWND window_;
};
HWND PaintTest::window_ = nullptr;

TEST_F(PaintTest, ADamagedBitmapPaintsNothing) {
    const Bytes good = MakeBitmap(24);
    ASSERT_EQ(Paint(good), Red);
    ASSERT_EQ(Paint(MakeBitmap(8)), Red);

    const Bytes damaged[] = {
        Bytes(good.begin(), good.end() - 1),
        Bytes(good.begin(), good.begin() + 30),  // the header alone
        Patched(good, [](BITMAPINFOHEADER& h) { h.biHeight = -h.biHeight; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biSize = 0x7FFFFFF0; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biSize = 12; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biClrUsed = 0x40000001; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; }),
        Patched(good, [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }),
        Patched(MakeBitmap(8), [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }),
    };
    for (size_t i = 0; i < std::size(damaged); ++i)
        EXPECT_EQ(Paint(damaged[i]), White) << "damaged bitmap " << i;
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
TEST_F(TemplateTest, EveryTemplateIsKoreanInGulimAndCanBeCreated) {
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
        DestroyWindow(dialog);
    }
}

}  // namespace
