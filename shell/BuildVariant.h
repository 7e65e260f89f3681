#pragma once

#ifndef TSINST_NT_BUILD
#error "TSINST_NT_BUILD must be 0 (Windows 95 build) or 1 (Windows NT build)"
#endif

// Which of the two executables this code is part of.
constexpr bool IsNtBuild = TSINST_NT_BUILD != 0;
