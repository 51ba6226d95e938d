# IDL for COM servers (Windows tree only).
#
# qui_add_idl(<target> <file.idl> [NO_RESOURCE] [INCLUDE_DIRS dir...] [DEPENDS file...])
#   Compiles <file.idl> with widl into <name>.h, <name>_i.c (the GUIDs) and
#   <name>.tlb in the target's binary folder, adds the GUID file to <target>
#   and puts that folder on its include path. Unless NO_RESOURCE is given the
#   type library is also linked into <target> as TYPELIB resource 1, which is
#   where the kit's dispatch and registration code load it from.
#   widl searches the IDL's own folder and INCLUDE_DIRS for #include and
#   import; list in DEPENDS the headers the IDL includes, so that a change
#   to them compiles it again.
#   Sets <name>_TLB in the caller's scope to the type library's path.
#   Calling it again for the same IDL (a test that needs the GUIDs) reuses
#   the outputs of the first call.

if(QUI_WINDOWS)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(stdole_dirs /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
    set(QUI_WIDL_ARCH --win64)
  else()
    # The 32-bit Wine package may be missing where the machine cannot run it;
    # widl only reads the interfaces' identities from the library it
    # imports, which are the same in the 64-bit one.
    set(stdole_dirs /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows
                    /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
    set(QUI_WIDL_ARCH --win32)
  endif()
  find_file(QUI_STDOLE2_TLB stdole2.tlb
    PATHS ${stdole_dirs}
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QUI_STDOLE2_TLB)
    message(FATAL_ERROR "stdole2.tlb not found: install wine (scripts/setup)")
  endif()
  get_filename_component(QUI_STDOLE2_DIR ${QUI_STDOLE2_TLB} DIRECTORY)
  set(QUI_WIDL_INCLUDE /usr/include/wine/wine/windows)
endif()

function(qui_add_idl target idl)
  cmake_parse_arguments(I "NO_RESOURCE" "" "INCLUDE_DIRS;DEPENDS" ${ARGN})
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(src ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  set(header ${out}/${name}.h)
  set(guids ${out}/${name}_i.c)
  set(tlb ${out}/${name}.tlb)
  get_filename_component(srcdir ${src} DIRECTORY)
  set(includes -I${srcdir})
  foreach(dir IN LISTS I_INCLUDE_DIRS)
    get_filename_component(dir ${dir} ABSOLUTE)
    list(APPEND includes -I${dir})
  endforeach()
  get_property(done DIRECTORY PROPERTY QUI_IDL_${name})
  if(NOT done)
    set_property(DIRECTORY PROPERTY QUI_IDL_${name} TRUE)
    add_custom_command(
      OUTPUT ${header} ${guids} ${tlb}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${QUI_WIDL} ${QUI_WIDL_ARCH} ${includes} -I${QUI_WIDL_INCLUDE} -L${QUI_STDOLE2_DIR}
              -h -H ${header} -u -U ${guids} -t -T ${tlb} ${src}
      DEPENDS ${src} ${I_DEPENDS}
      COMMENT "widl ${name}.idl"
      VERBATIM)
  endif()
  target_sources(${target} PRIVATE ${guids} ${header})
  target_include_directories(${target} PUBLIC ${out})
  if(NOT I_NO_RESOURCE)
    set(rc ${out}/${name}_tlb.rc)
    file(WRITE ${rc}.in "1 TYPELIB \"${tlb}\"\n")
    configure_file(${rc}.in ${rc} COPYONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tlb})
    target_sources(${target} PRIVATE ${rc})
  endif()
  set(${name}_TLB ${tlb} PARENT_SCOPE)
endfunction()

# qui_com_server(<target>)
#   Makes a SHARED library target an in-process COM server on the kit: links
#   QuiComKit, exports DllCanUnloadNow, DllGetClassObject, DllRegisterServer
#   and DllUnregisterServer, and names the file without a "lib" prefix.
function(qui_com_server target)
  qui_def_file(def ${QUI_TOP}/platform/comkit/ComServer.def)
  target_sources(${target} PRIVATE ${def})
  target_link_libraries(${target} PRIVATE QuiComKit)
  set_target_properties(${target} PROPERTIES PREFIX "")
endfunction()
