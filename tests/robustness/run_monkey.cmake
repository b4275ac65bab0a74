# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the random user from a fresh, empty folder and fails when it leaves
# anything there: what the windows save belongs in its own working folder.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The last value stays quoted: an empty text is a value too.
if(DEFINED ALL_FIELDS)
  set(_mode --all-fields)
  set(_value "${ALL_FIELDS}")
else()
  set(_mode --seed ${SEED} --actions)
  set(_value ${ACTIONS})
endif()
execute_process(COMMAND ${MONKEY} ${_mode} "${_value}" --messages ${MESSAGES}
                WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
message("${_out}${_err}")
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "velmor5-monkey exited with ${_rc}")
endif()
file(GLOB _left RELATIVE ${WORKDIR} ${WORKDIR}/*)
if(_left)
  message(FATAL_ERROR "velmor5-monkey left files where it was started: ${_left}")
endif()
