# Run by CPack on its staging tree just before it makes the package: strips the program as
# Debian's own tools do, debug symbols and the .comment and .note sections.
set(program "${CPACK_TEMPORARY_DIRECTORY}${CPACK_QOV_PROGRAM}")
if(NOT EXISTS "${program}")
  message(FATAL_ERROR "no ${program} to strip")
endif()
execute_process(COMMAND ${CPACK_QOV_STRIP} --strip-unneeded --remove-section=.comment
                        --remove-section=.note ${program} COMMAND_ERROR_IS_FATAL ANY)
