# Signs one Windows program in place with osslsigncode (Authenticode, SHA-256), so that
# SmartScreen names the site that hands it out instead of warning about an unknown publisher.
# Run as: cmake -DFILE=<exe> -DPFX=<.pfx> -DPASSWORD_FILE=<file> [-DTIMESTAMP_URL=<url>]
#         [-DOSSLSIGNCODE=<program>] -P sign_file.cmake
# The password goes to osslsigncode as a file name, never as itself, so that neither `ps` nor a
# build log shows it. A file that could not be signed is deleted: a build that fails here must
# not leave an unsigned program behind for a later step (or a later build) to pack.

function(fail why)
  file(REMOVE "${FILE}" "${FILE}.signed")
  message(FATAL_ERROR "Could not sign ${FILE}: ${why}")
endfunction()

foreach(input PFX PASSWORD_FILE)
  if(NOT EXISTS "${${input}}" OR IS_DIRECTORY "${${input}}")
    fail("no ${input} file '${${input}}'")
  endif()
endforeach()
if(NOT OSSLSIGNCODE)
  find_program(found_osslsigncode osslsigncode)
  set(OSSLSIGNCODE "${found_osslsigncode}")
endif()
if(NOT OSSLSIGNCODE)
  fail("osslsigncode is not installed")
endif()
set(timestamp)
if(TIMESTAMP_URL)
  set(timestamp -ts "${TIMESTAMP_URL}")
endif()

# osslsigncode will not write over its input.
file(REMOVE "${FILE}.signed")
execute_process(
  COMMAND "${OSSLSIGNCODE}" sign -pkcs12 "${PFX}" -readpass "${PASSWORD_FILE}" -h sha256
          ${timestamp} -in "${FILE}" -out "${FILE}.signed"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("osslsigncode failed (${result}):\n${output}")
endif()
file(RENAME "${FILE}.signed" "${FILE}")
