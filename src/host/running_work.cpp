#include "host/running_work.h"

#include "device/push_lock.h"

namespace sw::host {

std::atomic<bool>& PackRunning() {
    static std::atomic<bool> running{false};
    return running;
}

std::string RunningWork() {
    if (PackRunning().load()) {
        return "正在生成主题包，关闭编辑器会停止生成。";
    }
    // A push holds its lock to the end; a lock that can be had is free.
    if (device::PushLock::TryTake().busy()) {
        return "正在导入手机，编辑器会在导入完成后关闭。";
    }
    return "";
}

}  // namespace sw::host
