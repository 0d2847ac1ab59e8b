// The file, folder and colour dialogs. Each is a popup of the asking window
// showing one of the host's own pages (ui/shell/): the page lists folders and
// ends the dialog through the commands of the dialog table (commands/dialog.cpp).
// Every dialog blocks the calling thread until the user has chosen or
// cancelled.
//
// Element ids of the pages: file-path, file-filter, file-list, file-ok,
// file-cancel (file dialog); folder-path, folder-list, folder-ok,
// folder-cancel (folder dialog); color-value, color-ok, color-cancel (colour
// dialog).
#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace sw::host {

class Host;
class Window;

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.png", "*.9.png"
};

// The filter text's pairs ("PNG格式图片(*.png)|*.png||"); patterns of a pair
// are separated by ";". An empty text means "All Files|*.*||".
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

// True when name matches one of the patterns, compared without regard to
// case; "*.*" and "*" match every name.
bool MatchesPatterns(const std::string& name, const std::vector<std::string>& patterns);

// The listing a dialog page shows: {"path","parent","folders":[...],"files":[...]}
// with the files that match patterns (";"-separated, none when empty), or
// {"error":TEXT}. Names starting with "." are left out.
std::string ListFolderJson(const std::string& folder, const std::string& patterns);

// The file dialog: the chosen file's full path, trimmed, or "" when cancelled.
std::string ChooseFileToOpen(Host& host, Window* owner, const std::string& filter);
// The folder browser with the prompt "请选择：": the chosen folder or "".
std::string BrowseForFolder(Host& host, Window* owner);
// The colour chooser, white at start: "rrggbb" in lower case, or "".
std::string ShowColorDialog(Host& host, Window* owner);

// What a dialog page's EndDialog(value) does: checks value for the dialog's
// kind (an existing file, an existing folder, six hex digits) and ends the
// dialog with it. False when value does not fit.
bool EndDialogWith(Window& dialog, const std::string& value);

// True when path names a file (links followed) that the user chose in a file
// dialog during this run: commands that copy a file the page names copy only
// these.
bool WasChosenInFileDialog(const std::string& path);

// The folder a file or folder dialog starts in (the last one chosen in this
// run, else the home folder's work/, else the user's home).
std::string DialogStartFolder();

}  // namespace sw::host
