// Images and timers.
#include "gui/extctrls.h"
#include "gui/forms.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    // Drawing on the picture (or replacing it) repaints the image.
    picture_->OnChange = [this] { PictureChanged(); };
}

void TImage::SetAutoSize(bool v)
{
    autoSize_ = v;
    PictureChanged();
}

void TImage::PictureChanged()
{
    // A transparent image draws its picture transparent, whatever picture it is given.
    if (picture_->Graphic()) picture_->Bitmap()->SetTransparent(transparent_);
    const TGraphic* picture = picture_->Graphic();
    if (autoSize_ && picture && !picture->Empty()) SetBounds(Left(), Top(), picture->Width(), picture->Height());
    // Opaque only where the picture covers the whole control.
    const TGraphic* g = picture_->Graphic();
    const bool covers = g && !g->Empty() && !transparent_ && (stretch_ || (g->Width() >= Width() && g->Height() >= Height()));
    SetControlStyle(covers ? ControlStyle() + TControlStyle{csOpaque} : ControlStyle() - TControlStyle{csOpaque});
    Invalidate();
}

TImage::~TImage()
{
    picture_->OnChange = nullptr;
}

TCanvas* TImage::Canvas()
{
    TBitmap* bitmap = picture_->Bitmap();
    if (bitmap->Width() == 0 || bitmap->Height() == 0) bitmap->SetSize(Width(), Height());
    return bitmap->Canvas();
}

void TImage::BoundsChanged(bool sized)
{
    if (sized) PictureChanged();
}

void TImage::SetStretch(bool v)
{
    if (v == stretch_) return;
    stretch_ = v;
    PictureChanged();
}

void TImage::SetCenter(bool v)
{
    if (v == center_) return;
    center_ = v;
    PictureChanged();
}

void TImage::SetTransparent(bool v)
{
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged();
}

void TImage::Paint()
{
    const TGraphic* graphic = picture_->Graphic();
    if (!graphic || graphic->Empty()) return;
    TRect dest = Bounds(0, 0, graphic->Width(), graphic->Height());
    if (stretch_) dest = ClientRect();
    else if (center_) dest = Bounds((Width() - graphic->Width()) / 2, (Height() - graphic->Height()) / 2, graphic->Width(), graphic->Height());
    TCanvas* canvas = TGraphicControl::Canvas();
    // Painting targets the surface being painted; keep that target.
    canvas->SetCopyMode(cmSrcCopy);
    graphic->DrawOn(*canvas, dest);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    Application->AddTimer(this);
    Restart();
}

TTimer::~TTimer()
{
    *alive_ = false;
    Application->RemoveTimer(this);
}

void TTimer::SetEnabled(bool v)
{
    if (v == enabled_) return;
    enabled_ = v;
    Restart();
}

void TTimer::SetInterval(UINT ms)
{
    if (ms == interval_) return;
    interval_ = ms;
    Restart();
}

void TTimer::Restart()
{
    next_ = Application->Now() + interval_;
}

bool TTimer::Due(std::uint64_t now) const
{
    return enabled_ && interval_ > 0 && OnTimer && !running_ && now >= next_;
}

void TTimer::Fire(std::uint64_t now)
{
    // Late ticks are not made up: the next one is an interval from now.
    next_ = now + interval_;
    running_ = true;
    const std::shared_ptr<bool> alive = alive_;
    struct Done {
        const std::shared_ptr<bool>& alive;
        bool& running;
        ~Done()
        {
            if (*alive) running = false;
        }
    } done{alive, running_};
    InvokeEvent(OnTimer, this);
}
