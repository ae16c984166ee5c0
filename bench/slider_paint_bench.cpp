// What the console's widgets cost to draw, against plain memory traffic over
// the same pixels measured in the same run:
//   - one fader repaint: the slider's off-screen paint (background, groove,
//     ticks, masked thumb) and its copy to the window's surface, against a
//     memset of a buffer of that size and a memcpy of it to another;
//   - one full repaint of a console-sized form (1000 x 600) of 40 strips,
//     each a trim knob, a pan slider and a fader: every window invalidated
//     and painted, and then also composed into the picture a window shows,
//     against a memset and a memcpy of the form's area.
// Each iteration runs the paint and the baseline one after the other, so a
// busy machine slows both alike. The console repaints its meters every
// 40 ms, so a full repaint should stay at a few milliseconds. The median
// rows give the paint's time, the baseline's, their ratio and, for the
// form, the share of that tick one repaint takes.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <gui/presentation.h>
#include <vcl.h>

#include "controls/knob.h"
#include "controls/slide_bar.h"
#include "scratch_machine.h"

namespace {

constexpr int StripCount = 40;
constexpr int StripWidth = 25;
constexpr int FormWidth = StripCount * StripWidth;  // 1000
constexpr int FormHeight = 600;
constexpr double MeterTickMs = 40.0;

// A shown form of the console's colour holding what a benchmark paints;
// the slider unit stays started while it lives.
class HeadlessForm {
public:
    HeadlessForm(int width, int height)
    {
        SlideBarUnitStartup();
        form_ = std::make_unique<TForm>(Application);
        form_->SetClientWidth(width);
        form_->SetClientHeight(height);
        form_->SetColor(clBtnFace);
    }
    ~HeadlessForm()
    {
        form_.reset();
        SlideBarUnitShutdown();
    }
    HeadlessForm(const HeadlessForm&) = delete;
    HeadlessForm& operator=(const HeadlessForm&) = delete;

    TForm& form() { return *form_; }

    // A fader as the console lays them: vertical, a 20 x 10 thumb, ticks.
    TzSlideBar* AddFader(int left, int top, int height, int step)
    {
        TzSlideBar* fader = Add<TzSlideBar>(left, top, 20, height);
        fader->SetThumbStyle(TThumbStyle::tsHorzHigh);
        fader->SetMax(1000);
        fader->SetMin(250);
        fader->SetStepPerTick(75);
        fader->SetValue(250 + (step * 97) % 750);
        fader->SetSteelLook(step % 2 == 1);
        return fader;
    }

    template <class Widget>
    Widget* Add(int left, int top, int width, int height)
    {
        auto* widget = new Widget(form_.get());  // owned by the form
        widget->SetParent(form_.get());
        widget->SetBounds(left, top, width, height);
        return widget;
    }

    // Realises every window and paints what is pending; false when the
    // form did not come up.
    bool Show()
    {
        form_->Show();
        Application->ProcessMessages();
        return form_->HandleAllocated();
    }

    // Every window of the form needs painting again, as after the form was
    // uncovered.
    void InvalidateAll() { InvalidateTree(*form_); }

private:
    static void InvalidateTree(TWinControl& control)
    {
        control.Invalidate();
        for (TControl* child : control.ControlList())
            if (auto* window = dynamic_cast<TWinControl*>(child)) InvalidateTree(*window);
    }

    std::unique_ptr<TForm> form_;
};

// The console's strips: a trim knob, a pan slider and a fader each.
void LayOutStrips(HeadlessForm& form)
{
    for (int strip = 0; strip < StripCount; ++strip) {
        const int x = strip * StripWidth;
        auto* trim = form.Add<TKnob>(x, 4, 24, 24);
        trim->SetMin(-20);
        trim->SetMax(20);
        trim->SetPosition(strip - 20);
        auto* pan = form.Add<TzSlideBar>(x, 34, 24, 16);
        pan->SetThumbStyle(TThumbStyle::tsTop);
        pan->SetTicks(false);
        pan->SetMax(1000);
        pan->SetValue(strip * 25);
        form.AddFader(x + 2, 60, FormHeight - 70, strip);
    }
}

// The same pixel traffic without drawing: the area filled, then copied.
class FillAndCopy {
public:
    explicit FillAndCopy(std::size_t pixels) : offscreen_(pixels), screen_(pixels) {}
    void operator()()
    {
        std::memset(offscreen_.data(), ++fill_, offscreen_.size() * sizeof(std::uint32_t));
        std::memcpy(screen_.data(), offscreen_.data(), screen_.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(screen_.data());
        benchmark::ClobberMemory();
    }

private:
    std::vector<std::uint32_t> offscreen_;
    std::vector<std::uint32_t> screen_;
    std::uint8_t fill_ = 0;
};

// Each iteration runs `paint` once and then the baseline `batch` times, so
// that both meet the same load; the iteration's time is the paint's, and
// the counters give the baseline's time and the ratio. Returns the paint's
// mean time in ns.
template <class Paint>
double AgainstFillAndCopy(benchmark::State& state, int batch, std::size_t pixels, Paint paint)
{
    using Clock = std::chrono::steady_clock;
    FillAndCopy baseline(pixels);
    std::chrono::duration<double, std::nano> painting{0}, copying{0};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        paint();
        const Clock::time_point painted = Clock::now();
        for (int i = 0; i < batch; ++i) baseline();
        const Clock::time_point copied = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
        painting += painted - start;
        copying += (copied - painted) / batch;
    }
    const auto runs = static_cast<double>(state.iterations());
    if (runs == 0.0 || copying.count() <= 0.0) return 0.0;
    state.counters["memset_memcpy_ns"] = copying.count() / runs;
    state.counters["ratio"] = painting / copying;
    return painting.count() / runs;
}

constexpr int FaderHeight = 181;

void FaderRepaint(benchmark::State& state)
{
    HeadlessForm form(100, 200);
    TzSlideBar* fader = form.AddFader(10, 10, FaderHeight, 1);
    if (!form.Show() || !fader->HandleAllocated()) {
        state.SkipWithError("the fader was not realised");
        return;
    }
    AgainstFillAndCopy(state, 16, std::size_t{20} * FaderHeight, [fader] {
        fader->Repaint();
        benchmark::DoNotOptimize(fader->ClientSurface().row(0));
    });
}

// Invalidates the form's windows and lets `repaint` bring them up to date;
// the counters add the share of the meter tick one repaint takes.
template <class Repaint>
void FormRepaints(benchmark::State& state, Repaint repaint)
{
    HeadlessForm form(FormWidth, FormHeight);
    LayOutStrips(form);
    if (!form.Show()) {
        state.SkipWithError("the form was not realised");
        return;
    }
    const double ns = AgainstFillAndCopy(state, 1, std::size_t{FormWidth} * FormHeight, [&form, repaint] {
        form.InvalidateAll();
        repaint(form.form());
    });
    state.counters["tick_percent"] = 100.0 * ns / (MeterTickMs * 1e6);
}

void FormRepaint(benchmark::State& state)
{
    FormRepaints(state, [](TForm& form) {
        Application->PaintPending();
        benchmark::DoNotOptimize(form.ClientSurface().row(0));
    });
}

void FormRepaintComposed(benchmark::State& state)
{
    FormRepaints(state, [](TForm& form) {
        const TBitmap picture = gui::ComposeForm(form);
        benchmark::DoNotOptimize(picture.Surface().pixels().data());
    });
}

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.2);
}

BENCHMARK(FaderRepaint)->Apply(Configure);
BENCHMARK(FormRepaint)->Apply(Configure)->Unit(benchmark::kMicrosecond);
BENCHMARK(FormRepaintComposed)->Apply(Configure)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunOnScratchMachine(argc, argv, "slider-bench"); }
