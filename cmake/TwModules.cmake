# One library per module. A module's portable code is every <module>/**/*.cpp
# outside its platform folders; its platform layer, built as <module>_platform,
# is <module>/win32/ in the Windows build, and natively <module>/posix/ (real
# POSIX code: files, processes, clocks) with <module>/headless/ (stand-ins for
# what a build without a window system or Windows resources cannot have).
#
# Headers are reached as "<module>/...": each module exposes its folder through
# an include root of its own (a link in the build tree), and a target sees only
# the roots of the modules it links. A source that includes a header of a
# module it does not depend on therefore fails to build.
#
#   tw_module(NAME USES <modules> [LIBS <libraries>] [PLATFORM_LIBS <libraries>])
# USES are the modules whose headers and code this one may use (PUBLIC: a
# module's headers may name theirs); LIBS third-party libraries it calls.
if(WIN32)
  set(TW_PLATFORM_DIRS win32)
  set(TW_TEST_PLATFORM_DIR win32)
else()
  set(TW_PLATFORM_DIRS posix headless)
  set(TW_TEST_PLATFORM_DIR native)
endif()

set(TW_MODULE_ROOTS ${CMAKE_BINARY_DIR}/module-roots)

# The include root of a module: <root>/<name> links to the source folder.
function(tw_module_root name out)
  set(root ${TW_MODULE_ROOTS}/${name})
  if(NOT EXISTS ${root}/${name})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${name} ${root}/${name} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

function(tw_module name)
  cmake_parse_arguments(M "" "" "USES;LIBS;PLATFORM_LIBS" ${ARGN})
  set(dir ${CMAKE_SOURCE_DIR}/${name})
  file(GLOB_RECURSE core CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  list(FILTER core EXCLUDE REGEX "/(win32|posix|headless)/")
  list(FILTER core EXCLUDE REGEX "_main\\.cpp$")
  # Platform folders may sit in a room too (render/software/win32/).
  file(GLOB_RECURSE every CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(platform "")
  foreach(pdir IN LISTS TW_PLATFORM_DIRS)
    set(p ${every})
    list(FILTER p INCLUDE REGEX "^${dir}/(.*/)?${pdir}/")
    list(APPEND platform ${p})
  endforeach()
  list(FILTER platform EXCLUDE REGEX "_main\\.cpp$")
  tw_module_root(${name} root)

  tw_member_tables(${name} tables)
  list(APPEND core ${tables})
  if(NOT core)
    set(core ${CMAKE_SOURCE_DIR}/cmake/empty_module.cpp)
  endif()
  add_library(${name} STATIC ${core})
  target_include_directories(${name} PUBLIC ${root} ${TW_GENERATED_ROOT}/${name})
  target_link_libraries(${name} PUBLIC ${M_USES} ${M_LIBS})

  if(platform)
    add_library(${name}_platform STATIC ${platform})
    target_link_libraries(${name}_platform PUBLIC ${name} ${M_PLATFORM_LIBS})
    # The core calls its platform layer through the os_*.h interfaces: whoever
    # links the module gets the layer too.
    target_link_libraries(${name} INTERFACE ${name}_platform)
  endif()
endfunction()

# The member tables of a module's script classes, generated from its *.members
# files (see cmake/member_tables.py): <module>/<stem>_members.h with the member
# ids, and Register<Module>ClassTables() in <module>/member_tables.h.
set(TW_GENERATED_ROOT ${CMAKE_BINARY_DIR}/generated)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(tw_member_tables name out)
  file(GLOB members CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.members)
  if(NOT members)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  set(gen ${TW_GENERATED_ROOT}/${name})
  string(SUBSTRING ${name} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${name} 1 -1 rest)
  set(outputs ${gen}/${name}_member_tables.cpp ${gen}/${name}/member_tables.h)
  foreach(m IN LISTS members)
    get_filename_component(stem ${m} NAME_WE)
    list(APPEND outputs ${gen}/${name}/${stem}_members.h)
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/member_tables.py ${name} ${gen}
            Register${first}${rest}ClassTables ${members}
    DEPENDS ${members} ${CMAKE_SOURCE_DIR}/cmake/member_tables.py
    COMMENT "Member tables of ${name}")
  set(${out} ${outputs} PARENT_SCOPE)
endfunction()
