// Bitmaps (new pixels white, deep copies), named resources, pictures.
#include "gui/graphics.h"
#include "gui/sysutils.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

std::string Upper(std::string_view s)
{
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::map<std::string, TBitmap>& Resources()
{
    static std::map<std::string, TBitmap> resources;
    return resources;
}

}  // namespace

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>())
{
    canvas_->OnChange = [this] { InvokeEvent(OnChange); };
    Retarget();
}

TBitmap::TBitmap(int width, int height) : TBitmap()
{
    SetSize(width, height);
}

TBitmap::TBitmap(const TBitmap& other) : TBitmap()
{
    Assign(other);
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    Assign(other);
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::Retarget()
{
    CanvasTarget t;
    t.surface = surface_.empty() ? nullptr : &surface_;
    t.clip = TRect{0, 0, surface_.width(), surface_.height()};
    canvas_->SetTarget(t);
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height()) return;
    surface_.resize(width, height, kWhite);
    Retarget();
    InvokeEvent(OnChange);
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this) return;
    surface_ = source.surface_;
    pixelFormat_ = source.pixelFormat_;
    transparent_ = source.transparent_;
    Retarget();
    InvokeEvent(OnChange);
}

void TBitmap::SetTransparent(bool v)
{
    if (v == transparent_) return;
    transparent_ = v;
    InvokeEvent(OnChange);
}

TColor TBitmap::TransparentColor() const
{
    if (surface_.empty()) return clDefault;
    return gui::FromPixel(surface_.at(0, surface_.height() - 1));
}

void TBitmap::DrawOn(TCanvas& canvas, const TRect& dest) const
{
    if (dest.Width() == Width() && dest.Height() == Height()) canvas.Draw(dest.Left, dest.Top, this);
    else canvas.StretchDraw(dest, this);
}

void TBitmap::LoadFromResourceName(HINSTANCE, std::string_view name)
{
    const auto it = Resources().find(Upper(name));
    if (it == Resources().end()) throw EResNotFound("Resource " + std::string(name) + " not found");
    Assign(it->second);
}

void RegisterBitmapResource(std::string_view name, const TBitmap& bitmap)
{
    Resources().insert_or_assign(Upper(name), bitmap);
}

void UnregisterBitmapResource(std::string_view name)
{
    Resources().erase(Upper(name));
}

bool HasBitmapResource(std::string_view name)
{
    return Resources().contains(Upper(name));
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

TBitmap* TPicture::Bitmap()
{
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        Hook();
    }
    return bitmap_.get();
}

void TPicture::Assign(const TBitmap& bitmap)
{
    // A new object: canvases taken from the old bitmap stay with it.
    bitmap_ = std::make_unique<TBitmap>(bitmap);
    Hook();
    InvokeEvent(OnChange);
}

void TPicture::Clear()
{
    bitmap_.reset();
    InvokeEvent(OnChange);
}

void TPicture::Hook()
{
    bitmap_->OnChange = [this] { InvokeEvent(OnChange); };
}
