# The native build carries a second, sanitized build of the same sources in
# ${CMAKE_BINARY_DIR}/sanitized: the program and the window-procedure fuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer, which the soak and fuzz tests run.
include(ExternalProject)
set(HELICOID_SANITIZED_DIR "${CMAKE_BINARY_DIR}/sanitized")
ExternalProject_Add(sanitized_build
  SOURCE_DIR "${CMAKE_SOURCE_DIR}"
  BINARY_DIR "${HELICOID_SANITIZED_DIR}"
  CMAKE_ARGS
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
    -DHELICOID_SANITIZE=ON
    -DBUILD_TESTING=OFF
    -DHELICOID_BUILD_BENCH=OFF
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS "${HELICOID_SANITIZED_DIR}/helicoid" "${HELICOID_SANITIZED_DIR}/tests/fuzz/window_procedure_fuzz")
