// The lock-screen animation form: up to twenty frames (animator1.png ..
// animator20.png) played in a rectangle of the lock screen, each switched on
// or off, with the number of plays and the time per frame. Switching the
// animation off moves its rectangle far left of the screen (x -2080px).
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"
#include "settings/theme_meta.h"

namespace sw::settings {

// The rectangle's x of an animation switched off.
inline constexpr char kAnimationOffX[] = "-2080px";

// The form's fields in the order they are filled: AnimatorTimes,
// AnimatorTime, AnimatorX, AnimatorY, AnimatorW, AnimatorH, Animator1 ..
// Animator20, isAnimator. An animation stored as off shows "0" with x 0px and
// y 600px; otherwise isAnimator is "" and the form keeps its first choice.
std::vector<FormField> AnimatorFormFields(const std::string& name, const std::string& path);

// Writes the switches and timing into integers.xml, the rectangle into the
// values of the template in use and, with the frames, into its five layouts;
// moves the preview's animation and makes the template active again. Refused,
// with nothing written, when integers.xml holds no template number 1 .. 6.
// list: Animator1 .. Animator20, AnimatorTimes, AnimatorTime, AnimatorX,
// AnimatorY, AnimatorW, AnimatorH joined with ",".
SaveReport SaveAnimator(const std::string& name, const std::string& path,
                        const std::string& isAnimator, const std::string& list);

}  // namespace sw::settings
