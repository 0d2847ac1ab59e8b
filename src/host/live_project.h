// Keeps the editor live while other programs change the open project's
// files: every folder of the project is watched, and a file is read only
// once it is complete (closed after writing, or renamed into place).
//
// A batch of changes (the writes that come within a short quiet spell) is
// handled once: images the screens use are drawn again with their modules'
// thumbnails (the screen the page shows, ShownScreen(), first: the page
// hears of it through OnShownScreenDrawn() while the others are drawn),
// values, layouts and templates reload the project, and the editor page
// hears of it through OnProjectFilesChanged(JSON). The editor's
// own writes are passed over. A watch that cannot cover every folder is
// reported to the page once (OnProjectWatchLimited()), which offers 刷新.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace sw::host {

class Window;

class LiveProject {
  public:
    // Starts watching whatever project is open, following later opens.
    // maxFolders bounds the folders one watch takes.
    LiveProject(Window& main, std::size_t maxFolders);
    ~LiveProject();
    LiveProject(const LiveProject&) = delete;
    LiveProject& operator=(const LiveProject&) = delete;

  private:
    void Run();

    Window& main_;
    std::size_t max_folders_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace sw::host
