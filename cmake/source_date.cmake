# The time the Windows programs' headers carry (and their debug files', whose checksum the debug
# link holds): SOURCE_DATE_EPOCH when the build is given one, else the time of the checked-out
# commit, so that every build of a commit is alike. ld, objcopy and strip take the clock's time
# otherwise. A commit made or checked out later configures the build again, for its own time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(murlox_source_date $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE murlox_source_date OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND git rev-parse --absolute-git-dir
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE murlox_git_dir OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${murlox_git_dir}/logs/HEAD)
endif()
