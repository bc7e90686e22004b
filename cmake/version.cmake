# The release and the build number built into the programs: the one place they
# are written. project(VERSION) takes the release from here, and
# orvalen_version_header() writes them into orvalen_version.hpp.
set(ORVALEN_VERSION 0.1)
set(ORVALEN_BUILT_NUMBER 347)

set(ORVALEN_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.hpp.in)
function(orvalen_version_header dir)
  configure_file(${ORVALEN_VERSION_TEMPLATE} ${dir}/orvalen_version.hpp @ONLY)
endfunction()
