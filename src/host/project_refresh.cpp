#include "host/project_refresh.h"

#include <json/value.h>

#include "engine/page_commands.h"
#include "host/host.h"
#include "host/json_text.h"
#include "host/project_tasks.h"
#include "host/script_bridge.h"
#include "host/window.h"

namespace sw::host {

bool ReloadAndSendLists(Window& main) {
    // The model (images, colours, positions, values) follows the files again.
    if (!ReloadKeepingThumbnails(main.host())) {
        return false;
    }
    std::string resources;
    std::string categories;
    if (BuildPageLists(resources, categories)) {
        CallPageFunction(&main, "SetResourceList", {resources});
        CallPageFunction(&main, "SetCategoryList", {categories});
    }
    return true;
}

std::string RefreshProjectAnswer(Window& main) {
    Json::Value answer(Json::objectValue);
    answer["done"] = ReloadAndSendLists(main);
    return StyledJson(answer);
}

}  // namespace sw::host
