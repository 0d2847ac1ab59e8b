// Command groups: a file of src/host/commands/ adds rows to the command
// tables with
//
//     SKINWRIGHT_COMMAND_GROUP(pack) {
//         tables.Add(WindowClass::kPopup, {{"PackTheme", {}, ResultKind::kNone, &PackTheme}});
//     }
//
// The group's name is the file's name without ".cpp". The build collects the
// groups of that folder and BuildStandardCommandTables runs every one, so a
// new group needs no other file changed.
#pragma once

#include "host/command_table.h"

#define SKINWRIGHT_COMMAND_GROUP(group)            \
    namespace sw::host::command_groups {           \
    void group(::sw::host::CommandTables& tables); \
    }                                              \
    void sw::host::command_groups::group(::sw::host::CommandTables& tables)
