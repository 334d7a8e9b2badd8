# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix and empties the home folder of the installed suite.
file(REMOVE_RECURSE ${prefix} ${home})
file(MAKE_DIRECTORY ${home})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --prefix ${prefix} RESULT_VARIABLE failed
                OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()
