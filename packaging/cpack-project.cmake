# Read by cpack before it makes a package, so that what goes in, and its
# files' times, come from the source alone and every build of the same
# source gives the same bytes.
set(source "${CPACK_NORVALE_SOURCE_DIR}")
set(tracked FALSE)
if(EXISTS "${source}/.git")
  execute_process(COMMAND git -C "${source}" -c core.quotePath=false ls-files --others --directory
    OUTPUT_VARIABLE untracked OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed)
    set(tracked TRUE)
  endif()
endif()

# The source package holds what git tracks, or, with no git, all but the
# build folders.
if(tracked)
  string(REPLACE "\n" ";" untracked "${untracked}")
  set(CPACK_IGNORE_FILES "/\\.git/")
  foreach(path IN LISTS untracked)
    string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" path "${source}/${path}")
    list(APPEND CPACK_IGNORE_FILES "^${path}")
  endforeach()
endif()

# A package carries its files' times, which are the build's own unless
# SOURCE_DATE_EPOCH says otherwise: the last commit's time, or the
# changelog's with no git.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "")
  if(tracked)
    execute_process(COMMAND git -C "${source}" log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(epoch STREQUAL "")
    file(STRINGS "${source}/packaging/changelog" signature REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^.*>  " "" date "${signature}")
    execute_process(COMMAND date -d "${date}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
