# The class's registration, spelt out once. The module's DllRegisterServer
# (registration.cpp, through the generated registration_names.h), the
# registry files that make Inventor load the add-in (host_registration/) and
# the installer's registry entries (installer/registration.wxi.in) are all
# generated from these values. The class, library and interface identifiers
# are the type library's own: they are read from Vantelo.idl.
#
# Sets VANTELO_REG_* in the including scope.

file(READ ${CMAKE_CURRENT_LIST_DIR}/Vantelo.idl vantelo_idl_text)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/Vantelo.idl)
# vantelo_idl_uuid(VARIABLE PATTERN): the uuid(...) of the IDL block whose
# declaration follows it and matches PATTERN, as "{...}" in capitals.
function(vantelo_idl_uuid variable pattern)
  if(NOT vantelo_idl_text MATCHES "uuid\\(([0-9A-Fa-f-]+)\\)[^]]*\\][ \t\r\n]*${pattern}")
    message(FATAL_ERROR "Vantelo.idl has no uuid before \"${pattern}\"")
  endif()
  string(TOUPPER "{${CMAKE_MATCH_1}}" uuid)
  set(${variable} "${uuid}" PARENT_SCOPE)
endfunction()
vantelo_idl_uuid(VANTELO_REG_CLSID "coclass clsVantelo")
vantelo_idl_uuid(VANTELO_REG_LIBID "library Vantelo")
vantelo_idl_uuid(VANTELO_REG_IID "interface _clsVantelo :")

# The class's name, which Inventor shows in its add-in list. Both the module
# and the host registration write it, so that registering the module again
# (by regsvr32, an installer repair) never renames the add-in.
set(VANTELO_REG_CLASS_NAME "Vantelo")
set(VANTELO_REG_PROGID "Vantelo.clsVantelo")
set(VANTELO_REG_THREADING_MODEL "Apartment")
set(VANTELO_REG_INTERFACE_NAME "_clsVantelo")
# The proxy of every dual interface: the type library marshaler.
set(VANTELO_REG_PROXY_STUB "{00020424-0000-0000-C000-000000000046}")

# What makes Inventor load the add-in: its add-in category, the description
# shown in the Add-In Manager, loading at start-up, a standard add-in.
set(VANTELO_REG_ADDIN_CATEGORY "{39AD2B5C-7A29-11D6-8E0A-0010B541CAA8}")
set(VANTELO_REG_DESCRIPTION "Keeps document properties up to date at every save: date and time, view scales, paper size, mass and volume, sheet metal")
set(VANTELO_REG_LOAD_ON_STARTUP "1")
set(VANTELO_REG_ADDIN_TYPE "Standard")
