# Compiling IDL files: a type library, a C++ header and the definitions of the
# identifiers, with widl (mingw-w64 and Wine's IDL files) or midl (MSVC).
#
# vantelo_idl(<name> <idl file>) creates the static library <name>_idl that
# carries the identifiers and puts the header (as "com/idl/<name>_h.h") on
# the include path of whatever links it, and sets <name>_TLB in the caller's
# scope to the type library's path.

if(NOT MSVC)
  find_program(VANTELO_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
  # Debian's mingw-w64 carries no .idl files; Wine's development files do.
  find_path(VANTELO_IDL_INCLUDE_DIR oaidl.idl
    PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
          /usr/share/mingw-w64/include /usr/x86_64-w64-mingw32/include
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(VANTELO_STDOLE2_DIR stdole2.tlb
    PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          /usr/lib64/wine/x86_64-windows /usr/lib/x86_64-linux-gnu/wine
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
endif()

function(vantelo_idl name idl)
  set(idl ${CMAKE_CURRENT_SOURCE_DIR}/${idl})
  set(out_dir ${PROJECT_BINARY_DIR}/com/idl)
  set(tlb ${out_dir}/${name}.tlb)
  set(header ${out_dir}/${name}_h.h)
  set(ids ${out_dir}/${name}_i.cpp)
  file(MAKE_DIRECTORY ${out_dir})
  if(MSVC)
    add_custom_command(
      OUTPUT ${tlb} ${header} ${ids}
      COMMAND midl /nologo /env x64 /tlb ${tlb} /h ${header} /iid ${ids} ${idl}
      DEPENDS ${idl}
      COMMENT "Compiling ${name}.idl")
  else()
    set(widl ${VANTELO_WIDL} -m64 -I${VANTELO_IDL_INCLUDE_DIR} -L${VANTELO_STDOLE2_DIR})
    add_custom_command(
      OUTPUT ${tlb} ${header} ${ids}
      COMMAND ${widl} -t -o ${tlb} ${idl}
      COMMAND ${widl} -h -o ${header} ${idl}
      COMMAND ${widl} -u -o ${ids} ${idl}
      DEPENDS ${idl}
      COMMENT "Compiling ${name}.idl")
  endif()
  add_library(${name}_idl STATIC ${ids} ${header})
  target_include_directories(${name}_idl PUBLIC ${PROJECT_BINARY_DIR})
  target_link_libraries(${name}_idl PUBLIC ole32 oleaut32 uuid)
  set(${name}_TLB ${tlb} PARENT_SCOPE)
endfunction()
