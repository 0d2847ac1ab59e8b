// DrawScreen of a launcher-like screen, against the work no drawing can
// avoid: decoding each of its image files once and encoding one preview.
#include <benchmark/benchmark.h>

#include "engine/screen_drawing.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "screen_fixture.h"

namespace sw::bench {
namespace {

void BM_DrawScreen(benchmark::State& state) {
    ScreenFixture fixture;
    if (!fixture.ok()) {
        state.SkipWithError("cannot build the screen fixture");
        return;
    }
    for (auto _ : state) {
        if (!DrawScreen(fixture.screen())) {
            state.SkipWithError("DrawScreen failed");
            return;
        }
    }
    state.counters["elements"] = static_cast<double>(fixture.screen().elements.size());
}
BENCHMARK(BM_DrawScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawScreenLowerBound(benchmark::State& state) {
    ScreenFixture fixture;
    if (!fixture.ok() || !DrawScreen(fixture.screen())) {
        state.SkipWithError("cannot build the screen fixture");
        return;
    }
    // The picture encoded is the screen's own preview, so the encoder meets
    // the same content as in DrawScreen.
    gfx::Image preview;
    if (!gfx::DecodeImage(PreviewPath(fixture.screen()), &preview)) {
        state.SkipWithError("cannot read the preview");
        return;
    }
    const std::string output = fixture.folder() + "/lower_bound.jpg";
    for (auto _ : state) {
        for (const std::string& file : fixture.image_files()) {
            gfx::Image image;
            if (!gfx::DecodeImage(file, &image)) {
                state.SkipWithError("decoding failed");
                return;
            }
            benchmark::DoNotOptimize(image.row(0));
        }
        if (!gfx::SaveJpeg(preview, output)) {
            state.SkipWithError("encoding failed");
            return;
        }
    }
}
BENCHMARK(BM_DrawScreenLowerBound)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sw::bench
