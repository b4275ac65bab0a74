# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one driver script in a fresh working folder and compares its output
# with the expected output, line by line.
file(REMOVE_RECURSE ${WORKDIR} ${WORKDIR}.parts)
file(MAKE_DIRECTORY ${WORKDIR})
# A line "#! fresh-driver" ends what one driver runs: the rest runs in a new
# driver process, in the same working folder, as a user starting the program
# again.
file(READ ${SCRIPT} _rest)
set(_out "")
set(_err "")
set(_n 0)
set(_more 1)
while(_more)
  string(FIND "${_rest}" "#! fresh-driver\n" _at)
  if(_at EQUAL -1)
    set(_part "${_rest}")
    set(_more 0)
  else()
    string(SUBSTRING "${_rest}" 0 ${_at} _part)
    math(EXPR _at "${_at} + 16")
    string(SUBSTRING "${_rest}" ${_at} -1 _rest)
  endif()
  math(EXPR _n "${_n} + 1")
  file(WRITE ${WORKDIR}.parts/${_n}.txt "${_part}")
  execute_process(COMMAND ${DRIVER} ${WORKDIR}.parts/${_n}.txt
                  WORKING_DIRECTORY ${WORKDIR}
                  OUTPUT_VARIABLE _part_out ERROR_VARIABLE _part_err RESULT_VARIABLE _rc)
  string(APPEND _out "${_part_out}")
  string(APPEND _err "${_part_err}")
  if(NOT _rc EQUAL 0)
    set(_more 0)
  endif()
endwhile()
# A script that starts with "#! list-files" also checks the files it left in
# its working folder.
file(STRINGS ${SCRIPT} _first LIMIT_COUNT 1)
if(_first STREQUAL "#! list-files")
  file(GLOB _files RELATIVE ${WORKDIR} ${WORKDIR}/*)
  list(SORT _files)
  foreach(f ${_files})
    file(SIZE ${WORKDIR}/${f} _size)
    string(APPEND _out "file ${f} ${_size}\n")
  endforeach()
endif()
file(WRITE ${WORKDIR}/actual.txt "${_out}")
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "driver exited with ${_rc}\n${_err}\n${_out}")
endif()
file(READ ${EXPECTED} _want)
if(NOT _out STREQUAL _want)
  execute_process(COMMAND diff -u ${EXPECTED} ${WORKDIR}/actual.txt OUTPUT_VARIABLE _diff)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n${_diff}")
endif()
