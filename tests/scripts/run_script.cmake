# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one driver script in a fresh working folder and compares its output
# with the expected output, line by line.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${DRIVER} ${SCRIPT}
                WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
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
