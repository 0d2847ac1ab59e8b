// The packed theme's own meta.json: the project's theme-suite description
// with its "resource_contents" cut down to the modules packed.
#pragma once

#include <json/value.h>

#include "pack/pack_request.h"

namespace sw::pack {

// Removes from the array "resource_contents" the entries of the modules not
// wanted: index 2 for the call screen, 1 for the lock screen, 0 for the
// launcher, taken from the array as it was. Every other member stays as it
// is; a document without that array is left alone.
void TrimResourceContents(Json::Value& document, const WantedModules& wanted);

}  // namespace sw::pack
