# build-windows/landfer-windows: landfer.exe, lfdat/ and README.txt, ready to zip.
set(WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/landfer-windows)
configure_file(${CMAKE_SOURCE_DIR}/docs/windows-readme.txt ${WINDOWS_FOLDER}/README.txt @ONLY NEWLINE_STYLE CRLF)
file(GLOB_RECURSE LFDAT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lfdat/*)
add_custom_target(windows-folder ALL
  COMMAND ${CMAKE_COMMAND} -E remove_directory ${WINDOWS_FOLDER}/lfdat
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/lfdat ${WINDOWS_FOLDER}/lfdat
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:landfer> ${WINDOWS_FOLDER}/landfer.exe
  DEPENDS landfer ${LFDAT_FILES}
  COMMENT "Putting landfer.exe, lfdat/ and README.txt into ${WINDOWS_FOLDER}")
