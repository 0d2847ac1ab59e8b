// Bringing the editor up to date with what the project's files hold now:
// the project is read again from disk, its previews and thumbnails drawn
// again, and the editor page handed the new lists. 刷新 and the history's
// steps end here, and so do the changes other programs make to the files.
#pragma once

#include <string>

namespace sw::host {

class Window;

// Reopens the open project from its files (keeping the thumbnail size the
// editor page asked for) and hands main's page the resource and category
// lists again (SetResourceList, SetCategoryList). False, with the warning
// alert, when the project could not be opened again.
bool ReloadAndSendLists(Window& main);

// The main window's RefreshProject: ReloadAndSendLists, answered as
// {"done":bool} for the page, which then shows the lists where the
// designer was.
std::string RefreshProjectAnswer(Window& main);

}  // namespace sw::host
