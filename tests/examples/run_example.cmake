# Runs one example as the README tells a user to, from a copy of the repository's examples folder,
# and compares what it printed with tests/examples/NAME.expected; every file the example says it
# writes must exist afterwards.
#   -DBATCH=kivex-batch -DEXAMPLE=examples/NAME.kivex|.sh -DWORKDIR=... -DEXPECTED=... -DWRITES=a;b
get_filename_component(name ${EXAMPLE} NAME_WE)
get_filename_component(examples ${EXAMPLE} DIRECTORY)

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
file(COPY ${examples} DESTINATION ${WORKDIR})

if(EXAMPLE MATCHES "\\.sh$")
  set(command bash examples/${name}.sh ${BATCH})
else()
  set(command ${BATCH} examples/${name}.kivex)
endif()
execute_process(COMMAND ${command}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)

# A fit reports how long it took; that differs from run to run.
string(REGEX REPLACE "time \\(s\\) = [^\n]*" "time (s) = <elapsed>" out "${out}")
string(REGEX REPLACE "time = [^\n]*" "time = <elapsed>" out "${out}")

set(failed FALSE)
if(NOT "${code}" STREQUAL "0")
  message("exit code ${code}")
  set(failed TRUE)
endif()
if(NOT "${err}" STREQUAL "")
  message("standard error is not empty:\n${err}")
  set(failed TRUE)
endif()
file(READ ${EXPECTED} expected_out)
if(NOT "${out}" STREQUAL "${expected_out}")
  file(WRITE ${WORKDIR}/actual.out "${out}")
  message("standard output differs; got (also in ${WORKDIR}/actual.out):\n${out}")
  set(failed TRUE)
endif()
foreach(written ${WRITES})
  if(NOT EXISTS ${WORKDIR}/${written})
    message("${written} was not written")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "example ${name} failed")
endif()
