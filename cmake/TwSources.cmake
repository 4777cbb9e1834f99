# Source layout: <module>/*.cpp is portable core (no OS header), <module>/win32/*.cpp
# is the Windows platform layer, <module>/posix/*.cpp the native stand-ins used by
# the Linux build. Files named *_main.cpp are program entries, never in the library.
set(TW_MODULES runtime ui graphics2d engine3d render scenefiles script3d scriptsys media input net)

function(tw_collect_sources core_var platform_var)
  set(core "")
  set(platform "")
  if(WIN32)
    set(pdir win32)
  else()
    set(pdir posix)
  endif()
  foreach(m IN LISTS TW_MODULES)
    file(GLOB c CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${m}/*.cpp ${CMAKE_SOURCE_DIR}/${m}/*.c)
    file(GLOB p CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${m}/${pdir}/*.cpp ${CMAKE_SOURCE_DIR}/${m}/${pdir}/*.c)
    list(FILTER c EXCLUDE REGEX "_main\\.cpp$")
    list(FILTER p EXCLUDE REGEX "_main\\.cpp$")
    list(APPEND core ${c})
    list(APPEND platform ${p})
  endforeach()
  set(${core_var} ${core} PARENT_SCOPE)
  set(${platform_var} ${platform} PARENT_SCOPE)
endfunction()
