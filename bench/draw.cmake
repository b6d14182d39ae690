# Drawing the plan with QPainter onto a 1920 × 1080 image: a network at the
# model's capacity (from the network generator when it is built, otherwise a
# grid made by the benchmark itself) and the sample mine.
find_package(benchmark REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Gui)
get_filename_component(ORVEX_DRAW_BENCH_SOURCE "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

add_executable(orvex-bench-draw ${CMAKE_CURRENT_LIST_DIR}/draw_bench.cpp)
target_link_libraries(orvex-bench-draw PRIVATE orvex_core orvex_canvas Qt6::Gui benchmark::benchmark
                      orvex_warnings)
target_compile_definitions(orvex-bench-draw PRIVATE ORVEX_SOURCE_DIR="${ORVEX_DRAW_BENCH_SOURCE}")
if(TARGET orvex_gennet_lib)
  target_link_libraries(orvex-bench-draw PRIVATE orvex_gennet_lib)
  target_compile_definitions(orvex-bench-draw PRIVATE ORVEX_HAVE_GENNET=1)
else()
  target_compile_definitions(orvex-bench-draw PRIVATE ORVEX_HAVE_GENNET=0)
endif()
