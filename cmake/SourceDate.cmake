# The time the linker writes into the executables' PE header (its
# TimeDateStamp, the only time they hold: they export nothing, so they have
# no export directory with a second one) is not the link's own, so that
# one commit always links to the same bytes: SOURCE_DATE_EPOCH when it is
# set, else the commit's date, else 0 (a tree outside git). The linker takes
# it from SOURCE_DATE_EPOCH in its environment.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TSINST_SOURCE_DATE "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE TSINST_SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT TSINST_SOURCE_DATE)
    set(TSINST_SOURCE_DATE 0)
  endif()
endif()
if(NOT TSINST_SOURCE_DATE MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${TSINST_SOURCE_DATE}'")
endif()
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TSINST_SOURCE_DATE})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TSINST_SOURCE_DATE})
# Rewritten only when the date changes; a linked program depends on it
# (tsinst_link_at_source_date), so that a new commit relinks it.
set(TSINST_SOURCE_DATE_FILE ${TSINST_GENERATED}/source_date)
file(CONFIGURE OUTPUT ${TSINST_SOURCE_DATE_FILE} CONTENT "${TSINST_SOURCE_DATE}\n")

function(tsinst_link_at_source_date)
  set_property(TARGET ${ARGN} APPEND PROPERTY LINK_DEPENDS ${TSINST_SOURCE_DATE_FILE})
endfunction()
