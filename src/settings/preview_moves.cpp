#include "settings/preview_moves.h"

#include "engine/page_commands.h"

namespace sw::settings {

void MovePreviewElements(const std::string& moduleName, const std::vector<ElementMove>& moves) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const ElementMove& move = moves[i];
        SetElementGeometry(moduleName, move.element, move.left, move.top, move.width, move.height,
                           move.size, i + 1 == moves.size());
    }
}

}  // namespace sw::settings
