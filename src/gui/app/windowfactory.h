#pragma once

#include "core/files/homedirectory.h"
#include "gui/shared/workwindow.h"

// Makes the work window that the main menu asks for, on the given home directory.
WorkWindow *makeWindow(WindowHub::Window window, WindowHub &hub, const HomeDirectory &home);
