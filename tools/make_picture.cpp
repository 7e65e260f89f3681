// make_picture: records the installer's picture, install.emf, as an enhanced
// metafile drawn with plain GDI calls.
//
//   make_picture.exe <output.emf>
//
// The scene is a point-to-point radio link: two lattice towers on hills with
// dish antennas facing each other, the line of sight between them, the first
// Fresnel zone around it and a rain cell over the path. The main window
// stretches the picture into the left half of its client area (about 440 x 150
// pixels at 96 dpi), so the drawing is laid out on a wide 880 x 300 grid.
//
// Only GDI calls that an enhanced metafile records on every Windows version are
// used: no world transforms, no gradient fills, no text (so no font has to be
// present on the machine that plays the picture back).
//
// Exit status: 0 when the file was written and reads back as an enhanced
// metafile, 1 on a usage error, 2 when GDI failed.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kWidth = 880;   // logical units (reference-device pixels)
const int kHeight = 300;

int Fail(const char* what)
{
    std::fprintf(stderr, "make_picture: %s failed (error %lu)\n", what,
                 static_cast<unsigned long>(GetLastError()));
    return 2;
}

// Selects a new solid pen and brush into the DC and restores and deletes them
// when it goes out of scope.
class PenBrush {
public:
    PenBrush(HDC dc, COLORREF pen, int penWidth, COLORREF brush, bool hollow = false)
        : dc_(dc)
    {
        pen_ = CreatePen(PS_SOLID, penWidth, pen);
        brush_ = hollow ? static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH))
                        : CreateSolidBrush(brush);
        ownBrush_ = !hollow;
        oldPen_ = static_cast<HPEN>(SelectObject(dc_, pen_));
        oldBrush_ = static_cast<HBRUSH>(SelectObject(dc_, brush_));
    }
    ~PenBrush()
    {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        if (ownBrush_) DeleteObject(brush_);
    }
    PenBrush(const PenBrush&) = delete;
    PenBrush& operator=(const PenBrush&) = delete;

private:
    HDC dc_;
    HPEN pen_, oldPen_;
    HBRUSH brush_, oldBrush_;
    bool ownBrush_;
};

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// Terrain profile: height of the ground (as a y coordinate) at x.
int GroundY(double x)
{
    const double t = x / kWidth;
    const double y = 238.0
        - 48.0 * std::exp(-std::pow((t - 0.12) / 0.11, 2.0))   // left hill
        - 40.0 * std::exp(-std::pow((t - 0.88) / 0.12, 2.0))   // right hill
        - 14.0 * std::exp(-std::pow((t - 0.50) / 0.10, 2.0))   // ridge mid-path
        + 6.0 * std::sin(t * 23.0);
    return static_cast<int>(std::lround(y));
}

void DrawSky(HDC dc)
{
    // Horizontal bands from a deep blue at the top to a pale blue at the horizon.
    const int bands = 12;
    for (int i = 0; i < bands; ++i) {
        RECT r = {0, kHeight * i / bands, kWidth, kHeight * (i + 1) / bands};
        const int c = 150 + 90 * i / (bands - 1);
        HBRUSH b = CreateSolidBrush(RGB(c - 110, c - 50, 255));
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
}

void DrawTerrain(HDC dc)
{
    std::vector<POINT> pts;
    for (int x = 0; x <= kWidth; x += 8) pts.push_back({x, GroundY(x)});
    pts.push_back({kWidth, kHeight});
    pts.push_back({0, kHeight});
    {
        PenBrush pb(dc, RGB(40, 100, 40), 2, RGB(90, 150, 70));
        Polygon(dc, pts.data(), static_cast<int>(pts.size()));
    }
    // A darker strip of foreground.
    std::vector<POINT> front;
    for (int x = 0; x <= kWidth; x += 8)
        front.push_back({x, 272 + static_cast<int>(std::lround(6.0 * std::sin(x / 70.0)))});
    front.push_back({kWidth, kHeight});
    front.push_back({0, kHeight});
    PenBrush pb(dc, RGB(60, 90, 40), 1, RGB(70, 115, 50));
    Polygon(dc, front.data(), static_cast<int>(front.size()));
}

// A lattice tower standing on the ground at x, height h; returns the point
// where the dish is mounted (near the top, on the side facing the other tower).
POINT DrawTower(HDC dc, int x, int h, int facing)
{
    const int base = GroundY(x) + 4;
    const int top = base - h;
    const int halfBase = 16, halfTop = 3;
    PenBrush pb(dc, RGB(120, 40, 40), 2, RGB(0, 0, 0), true);
    // Legs.
    Line(dc, x - halfBase, base, x - halfTop, top);
    Line(dc, x + halfBase, base, x + halfTop, top);
    // Cross bracing in panels that shrink towards the top.
    const int panels = 6;
    int prevY = base, prevHalf = halfBase;
    for (int i = 1; i <= panels; ++i) {
        const int y = base - h * i / panels;
        const int half = halfBase - (halfBase - halfTop) * i / panels;
        Line(dc, x - prevHalf, prevY, x + half, y);
        Line(dc, x + prevHalf, prevY, x - half, y);
        Line(dc, x - half, y, x + half, y);
        prevY = y;
        prevHalf = half;
    }
    // Mast and warning light.
    Line(dc, x, top, x, top - 18);
    {
        PenBrush light(dc, RGB(160, 0, 0), 1, RGB(230, 30, 30));
        Ellipse(dc, x - 3, top - 23, x + 4, top - 16);
    }
    // Dish: a filled half-disc opening towards the other tower, with its feed.
    const int dy = top + 14;
    const int dx = x + facing * 6;
    {
        PenBrush dish(dc, RGB(90, 90, 100), 1, RGB(225, 225, 230));
        // Chord runs counter-clockwise from the first radial to the second:
        // top to bottom keeps the left half, bottom to top the right half.
        if (facing > 0)
            Chord(dc, dx - 12, dy - 14, dx + 12, dy + 14, dx, dy - 14, dx, dy + 14);
        else
            Chord(dc, dx - 12, dy - 14, dx + 12, dy + 14, dx, dy + 14, dx, dy - 14);
    }
    {
        PenBrush feed(dc, RGB(90, 90, 100), 2, RGB(0, 0, 0), true);
        Line(dc, dx, dy - 12, dx + facing * 14, dy);
        Line(dc, dx, dy + 12, dx + facing * 14, dy);
    }
    return {dx + facing * 14, dy};
}

// The first Fresnel zone between a and b drawn as a rotated ellipse.
void DrawFresnelZone(HDC dc, POINT a, POINT b)
{
    const double cx = (a.x + b.x) / 2.0, cy = (a.y + b.y) / 2.0;
    const double len = std::hypot(double(b.x - a.x), double(b.y - a.y));
    const double ang = std::atan2(double(b.y - a.y), double(b.x - a.x));
    const double ra = len / 2.0, rb = 26.0;
    std::vector<POINT> pts;
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        const double t = 2.0 * 3.14159265358979 * i / steps;
        const double ex = ra * std::cos(t), ey = rb * std::sin(t);
        pts.push_back({static_cast<LONG>(std::lround(cx + ex * std::cos(ang) - ey * std::sin(ang))),
                       static_cast<LONG>(std::lround(cy + ex * std::sin(ang) + ey * std::cos(ang)))});
    }
    HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 255, 160));
    HPEN old = static_cast<HPEN>(SelectObject(dc, pen));
    const int oldBk = SetBkMode(dc, TRANSPARENT);
    Polyline(dc, pts.data(), static_cast<int>(pts.size()));
    SetBkMode(dc, oldBk);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawBeam(HDC dc, POINT a, POINT b)
{
    PenBrush pb(dc, RGB(255, 220, 0), 3, RGB(0, 0, 0), true);
    Line(dc, a.x, a.y, b.x, b.y);
}

void DrawRainCell(HDC dc)
{
    // Rain streaks falling through the path first, then the cloud over their
    // upper ends.
    {
        PenBrush rain(dc, RGB(70, 90, 160), 1, RGB(0, 0, 0), true);
        for (int i = 0; i < 16; ++i) {
            const int x = 402 + i * 9;
            const int y = 34 + (i * 7) % 13;
            Line(dc, x, y, x - 14, y + 60 + (i * 5) % 23);
        }
    }
    PenBrush cloud(dc, RGB(150, 150, 165), 1, RGB(225, 228, 235));
    Ellipse(dc, 380, 12, 450, 46);
    Ellipse(dc, 415, 2, 490, 40);
    Ellipse(dc, 460, 10, 540, 46);
    Ellipse(dc, 402, 22, 520, 52);
}

void DrawScene(HDC dc)
{
    DrawSky(dc);
    DrawRainCell(dc);
    DrawTerrain(dc);
    const POINT left = DrawTower(dc, 110, 150, +1);
    const POINT right = DrawTower(dc, 775, 132, -1);
    DrawFresnelZone(dc, left, right);
    DrawBeam(dc, left, right);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture <output.emf>\n");
        return 1;
    }
    const char* path = argv[1];

    // The picture frame is given in 0.01 mm. Record in the units of a
    // reference device and size the frame from that device's resolution, so
    // that the frame and the drawing agree whatever device GDI offers here.
    HDC ref = CreateCompatibleDC(nullptr);
    if (!ref) return Fail("CreateCompatibleDC");
    const int hmm = GetDeviceCaps(ref, HORZSIZE), hpx = GetDeviceCaps(ref, HORZRES);
    const int vmm = GetDeviceCaps(ref, VERTSIZE), vpx = GetDeviceCaps(ref, VERTRES);
    if (hmm <= 0 || hpx <= 0 || vmm <= 0 || vpx <= 0) {
        DeleteDC(ref);
        return Fail("GetDeviceCaps");
    }
    RECT frame = {0, 0, MulDiv(kWidth, hmm * 100, hpx), MulDiv(kHeight, vmm * 100, vpx)};

    DeleteFileA(path);
    HDC dc = CreateEnhMetaFileA(ref, path, &frame, "make_picture\0radio link\0");
    if (!dc) {
        DeleteDC(ref);
        return Fail("CreateEnhMetaFileA");
    }
    DrawScene(dc);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    DeleteDC(ref);
    if (!emf) return Fail("CloseEnhMetaFile");
    DeleteEnhMetaFile(emf);

    // Read the file back the way the installer will.
    HENHMETAFILE check = GetEnhMetaFileA(path);
    if (!check) return Fail("GetEnhMetaFileA");
    ENHMETAHEADER header = {};
    const UINT got = GetEnhMetaFileHeader(check, sizeof header, &header);
    DeleteEnhMetaFile(check);
    if (got == 0 || header.nRecords < 10 || header.rclFrame.right <= header.rclFrame.left)
        return Fail("GetEnhMetaFileHeader");
    std::printf("make_picture: wrote %s (%lu records, %lu bytes)\n", path,
                static_cast<unsigned long>(header.nRecords),
                static_cast<unsigned long>(header.nBytes));
    return 0;
}
