// A project's edit history from elsewhere: the index "steps.json" and one
// kept file (parted by a "--8<--" line), read for the tool bar, then undone
// and redone as the editor would. Nothing may be written outside the
// project folder, whatever the index names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/files.h"
#include "engine/edit_history.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = sw::fuzz::SplitParts(data, size, 2);
    const std::string project = sw::fuzz::ScratchPath("project/theme");
    const std::string outside = sw::fuzz::ScratchPath("outside");
    sw::DeletePath(sw::fuzz::ScratchPath("project"));
    sw::MakeFolderPath(outside);
    sw::fuzz::WriteScratch("project/theme/launcher/content/res/values/colors.xml", "<resources/>");
    sw::fuzz::WriteScratch("project/theme.history/steps.json", parts[0]);
    sw::fuzz::WriteScratch("project/theme.history/A/0", parts[1]);

    sw::ReadHistoryState(project);
    sw::UndoStep(project);
    sw::RedoStep(project);
    sw::UndoStep(project);
    sw::ReadHistoryState(project);

    std::vector<std::string> names;
    if (sw::ListFolder(outside, names) && !names.empty()) {
        std::abort();
    }
    return 0;
}
