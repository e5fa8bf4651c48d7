// How long a glintbutton takes to repaint itself: every state change of the main window's buttons
// (hover, press) repaints the whole surface, so this bounds the cost of moving the pointer over them.
#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPictures.h"

#include <benchmark/benchmark.h>


using namespace brenlow;

namespace {

ButtonProperties mainWindowLook()
{
    ButtonProperties p = ButtonProperties::Fresh(QFont(QStringLiteral("Tahoma"), 8), QString());
    p.ButtonStyle = StyleGlossyStrips;
    p.ColorScheme = 2;
    p.BackColor = 0xE3E3E3;
    p.MaskColor = ButtonPictureMaskColor;
    p.PictureNormal = BundledButtonPicture(QStringLiteral("add"));
    p.Caption = QStringLiteral("Add Video Link");
    return p;
}

void PaintStyle3(benchmark::State& state)
{
    const ButtonProperties p = mainWindowLook();
    ButtonPaintContext ctx;
    ctx.state = static_cast<ButtonState>(state.range(0));
    QImage surface(129, 33, QImage::Format_RGB32);
    for (auto _ : state) {
        PaintButton(surface, p, ctx);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(PaintStyle3)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void PaintEveryStyle(benchmark::State& state)
{
    ButtonProperties p = mainWindowLook();
    p.ButtonStyle = static_cast<int>(state.range(0));
    ButtonPaintContext ctx;
    QImage surface(129, 33, QImage::Format_RGB32);
    for (auto _ : state) {
        PaintButton(surface, p, ctx);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(PaintEveryStyle)->DenseRange(0, 13)->Unit(benchmark::kMicrosecond);

} // namespace
