# The cases that skipped themselves and why, from the JUnit file of a CTest
# run (tools/run_tests.sh), one "  TEST CASE: reason" line each. A failing
# case may print another run's output, skip lines included (the tools' test
# of the test command does): only the run's own cases count. For gtest, the
# "[  SKIPPED ] Suite.Case" of the case running, after the first line of its
# reason; a case on a desktop of its own runs again in a process of its own,
# whose lines the test program passes on. For unittest (-v), "name
# (module.Class.name) ... skipped 'why'" before its report of failures (a
# line of 70 "=").
#
# Usage: awk -f tools/skipped_cases.awk JUNIT-FILE
function text(s) { gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s);
                   gsub(/&apos;/, "\047", s); gsub(/&amp;/, "\\&", s); return s }
function add(key, why) { if (!(key in seen)) { seen[key] = 1; print "  " key ": " text(why) } }
/<testcase name="/ { match($0, /name="[^"]*"/); test = substr($0, RSTART + 6, RLENGTH - 7)
                     gtest = report = 0; running = "" }
{ sub(/^[ \t]*<system-out>/, "") }
/^\[==========\] / && !report { gtest = 1 }
length($0) == 70 && /^=+$/ { report = 1 }
reason_follows { reason = $0; reason_follows = 0 }
/: Skipped$/ { reason_follows = 1 }
/^\[ RUN      \] / && gtest && running == "" { running = $4 }
/^\[  SKIPPED \] [^0-9]/ && $4 == running { add(test " " $4, reason); reason = "" }
/^\[ *(OK|FAILED|SKIPPED) *\] / && $4 == running { running = "" }
!gtest && !report && match($0, / \.\.\. skipped .*/) { add(test " " $1, substr($0, RSTART + 14, RLENGTH - 15)) }
