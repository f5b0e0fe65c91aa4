// Composition of the whole window, as every repaint does it.
#include "phonebook/Bookmark.h"
#include "skin/Composition.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <deque>
#include <string>

namespace {

using namespace vocamo;

// Start-up elements, the line buttons up, 50 phonebook rows with the first 10
// shown (or all of them), the keypad open and a number being typed.
class Window {
public:
    explicit Window(bool allRowsShown)
    {
        CContactItem *previous = nullptr;
        for (int i = 0; i < 50; ++i) {
            CBookmark &entry = m_book.emplace_back("Contact number " + std::to_string(i),
                                                   static_cast<uint32_t>(i));
            entry.home = "0161 496 07" + std::to_string(10 + i);
            previous = m_skin.AddNameRow(entry, previous);
            previous->SetHidden(!allRowsShown && i >= 10);
            if (i == 3)
                previous->SetSelected(true);
        }
        const CSkin::Elements &e = m_skin.GetElements();
        e.skypeButton->SetHidden(false);
        e.modemButton->SetHidden(false);
        e.skypeButton->SetActive(false);
        e.bookmark->SetHidden(false);
        e.callStart->SetActive(true);
        m_skin.SetKeypadHidden(false);
    }

    void Frame(QImage &picture)
    {
        m_skin.Items().LayoutAll();
        ComposeWindow(picture, m_skin.Items(), "0161496071", &m_painting);
    }

    std::size_t ImageBytes() const { return m_skin.DecodedImageBytes(); }

private:
    CSkin m_skin;
    std::deque<CBookmark> m_book;
    bool m_painting = false;
};

void Run(benchmark::State &state, bool allRowsShown)
{
    Window window(allRowsShown);
    QImage picture;
    window.Frame(picture); // fonts and glyphs are cached after the first frame
    for (auto _ : state) {
        window.Frame(picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["decoded_image_bytes"] = static_cast<double>(window.ImageBytes());
}

void BM_ComposeWindow(benchmark::State &state)
{
    Run(state, false);
}
BENCHMARK(BM_ComposeWindow)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Every row of the list shown, as when the whole phonebook is the active list.
void BM_ComposeWindowAllRowsShown(benchmark::State &state)
{
    Run(state, true);
}
BENCHMARK(BM_ComposeWindowAllRowsShown)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
