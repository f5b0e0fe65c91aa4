// The version record and the About box's split rule, on any text.
#include "app/AboutDlg.h"
#include "app/VersionReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const vocamo::CVersionReader reader = vocamo::CVersionReader::FromText(text);
    const std::string shown = vocamo::CAboutDlg::VersionText(reader.GetProductVersion());
    // A record that reads at all reads as V and four numbers with points.
    if (!reader.GetProductVersion().empty() && shown.size() < 8)
        __builtin_trap();
    vocamo::CAboutDlg::VersionText(text);
    return 0;
}
