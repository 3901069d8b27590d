// The wizard bitmap painter and the control rectangle helper of the pages.
#include "ui/wizard_bitmap.h"

#include <string.h>

#include "script/leading_members.h"

RECT BitmapRect;

namespace {

const uint32_t FileHeaderSize = 14;  // BITMAPFILEHEADER, skipped: its bits offset is not trusted

// One axis of the placement: a bitmap that fits is centred; a larger one fills the frame with its middle.
void PlaceAxis(int size, int room, int start, int* at, int* extent, int* source) {
    if (size <= room) {
        *at = start + (room - size) / 2;
        *extent = size;
        *source = 0;
    } else {
        *at = start;
        *extent = room;
        *source = (size - room) / 2;
    }
}

// Where the header, colour table and bits of the wizard bitmap lie; the bitmap comes with the package,
// so every part is checked to lie inside the block before GDI sees it.
struct BitmapLayout {
    BITMAPINFOHEADER header;  // an aligned copy
    const unsigned char* colours;
    DWORD colourCount;
    const unsigned char* bits;
};

int ReadLayout(const unsigned char* data, uint32_t size, BitmapLayout* layout) {
    if (!data || size < FileHeaderSize + sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER& header = layout->header;
    memcpy(&header, data + FileHeaderSize, sizeof header);
    // Only plain bottom-up bitmaps: top-down, compressed and bit-field bitmaps keep their bits elsewhere.
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight <= 0 ||
        header.biCompression != BI_RGB)
        return 0;
    switch (header.biBitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return 0;
    }
    layout->colourCount = ColourCount(header);
    uint64_t stride = (static_cast<uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    uint64_t colourTable = static_cast<uint64_t>(FileHeaderSize) + header.biSize;
    uint64_t bits = colourTable + 4ull * layout->colourCount;
    if (bits + stride * static_cast<uint64_t>(header.biHeight) > size) return 0;
    layout->colours = data + colourTable;
    layout->bits = data + bits;
    return 1;
}

// The colour table as a logical palette, or null when there is none.
HPALETTE CreateTablePalette(const BitmapLayout& layout) {
    if (layout.colourCount == 0) return nullptr;
    struct {
        WORD palVersion;
        WORD palNumEntries;
        PALETTEENTRY entries[256];
    } palette;
    palette.palVersion = 0x300;
    palette.palNumEntries = static_cast<WORD>(layout.colourCount < 256 ? layout.colourCount : 256);
    for (int i = 0; i < palette.palNumEntries; ++i) {
        const unsigned char* quad = layout.colours + 4 * i;  // blue, green, red, reserved
        palette.entries[i] = {quad[2], quad[1], quad[0], 0};
    }
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette));
}

}  // namespace

BitmapPlacement PlaceBitmap(int width, int height, const RECT& frame) {
    BitmapPlacement place;
    PlaceAxis(width, frame.right - frame.left, frame.left, &place.x, &place.width, &place.sourceX);
    PlaceAxis(height, frame.bottom - frame.top, frame.top, &place.y, &place.height, &place.sourceY);
    return place;
}

DWORD ColourCount(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0) return header.biClrUsed;
    return header.biBitCount <= 8 ? 1u << header.biBitCount : 0;
}

void PaintWizardBitmap(HWND page) {
    BitmapLayout layout;
    // Without a usable bitmap the page's default processing validates the window.
    if (!ReadLayout(WizardBitmap, WizardBitmapSize, &layout)) return;

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    HPALETTE palette = CreateTablePalette(layout);
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    const BITMAPINFOHEADER& header = layout.header;
    BitmapPlacement place = PlaceBitmap(header.biWidth, header.biHeight, BitmapRect);
    // Bottom-up bits: the source's y counts from the last row.
    int sourceY = header.biHeight - place.sourceY - place.height;
    StretchDIBits(dc, place.x, place.y, place.width, place.height, place.sourceX, sourceY, place.width,
                  place.height, layout.bits,
                  reinterpret_cast<const BITMAPINFO*>(WizardBitmap + FileHeaderSize), DIB_RGB_COLORS,
                  SRCCOPY);
    if (palette) {
        SelectPalette(dc, previous, FALSE);
        DeleteObject(palette);
    }
    EndPaint(page, &paint);
}

void GetControlRect(HWND page, int controlId, RECT* rectangle) {
    GetWindowRect(GetDlgItem(page, controlId), rectangle);
    POINT* corners = reinterpret_cast<POINT*>(rectangle);
    ScreenToClient(page, &corners[0]);
    ScreenToClient(page, &corners[1]);
}
