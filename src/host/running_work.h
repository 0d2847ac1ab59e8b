// The long work that closing the editor would cut short: a pack of the
// project or a push to the phone.
#pragma once

#include <atomic>
#include <string>

namespace sw::host {

// Set while a pack runs; one pack at a time in the whole program.
std::atomic<bool>& PackRunning();

// What runs now and what closing the editor does to it, in the designer's
// words ("正在生成主题包，关闭编辑器会停止生成。"), or "" when nothing runs.
std::string RunningWork();

}  // namespace sw::host
