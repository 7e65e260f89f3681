#pragma once

// The framework's own command: closes the main window through its close query.
constexpr int CM_EXIT = 24310;
