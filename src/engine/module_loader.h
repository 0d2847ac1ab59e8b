// Loading a module folder: template.xml with its screens, elements, resource
// groups and categories, and the values documents that give them geometry and
// colours.
#pragma once

#include <string>
#include <vector>

#include "engine/theme_module.h"
#include "gfx/decoded_pictures.h"

namespace sw {

// Fills module from the folder at path. The caller sets the context's screen
// width, screen height and density first; everything else is replaced. Every
// failure is logged at ERROR where it happens and gives false, after which the
// module is of no use.
// The image files are first sized from their headers and then decoded whole
// side by side on every core; with keepPictures the decoded pictures stay in
// the module's context for the drawing that follows. pictures, when given,
// decodes them (all but nine-patch images), so that a later step that shares
// it knows them sound without decoding them again.
bool LoadModule(ThemeModule& module, const std::string& path, bool keepPictures = false,
                gfx::DecodedPictures* pictures = nullptr);

// The first step of an open that answers before every picture is decoded:
// the module is loaded with its images sized from their headers alone (every
// line logged at once), and toDecode receives the image files, in the order
// they were met, that LoadModule would decode whole.
bool LoadModuleSized(ThemeModule& module, const std::string& path,
                     std::vector<std::string>& toDecode);

// Decodes files (of toDecode) whole side by side on every core and adds
// them to the module's load pictures, through pictures when given. When one
// is unreadable, the module's folder is loaded again one step after another
// into a module of its own, so that the log shows where the failure lies
// (the module given is left as it is), and the answer is false.
bool DecodeLoadedImages(ThemeModule& module, const std::vector<std::string>& files,
                        gfx::DecodedPictures* pictures = nullptr);

}  // namespace sw
