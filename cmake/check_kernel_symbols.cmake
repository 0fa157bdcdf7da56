# Fails when an object compiled for one instruction set defines code the
# linker could hand to callers that run on any processor: every global or
# weak function it defines must name that instruction set (TAG, any case).
# An inline function shared with the rest of the program (std::max, a helper
# of the engine) compiled there would otherwise be a candidate for every
# caller, and an AVX2-only processor could land in AVX-512 code. (Data, such
# as the lanes' constant tables, holds no instructions.)
#
# cmake -DNM=nm -DTAG=Avx512 -DOBJECTS=a.o;b.o -DSTAMP=file -P check_kernel_symbols.cmake
foreach(object IN LISTS OBJECTS)
  execute_process(COMMAND ${NM} --defined-only -C ${object}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${object}")
  endif()
  string(TOLOWER "${TAG}" tag)
  string(REPLACE "\n" ";" lines "${symbols}")
  foreach(line IN LISTS lines)
    # "address type name": global code (T), weak code (W, w) or indirect (i).
    if(line MATCHES "^[0-9a-fA-F]* +([TWwi]) +(.*)$")
      string(TOLOWER "${CMAKE_MATCH_2}" name)
      string(FIND "${name}" "${tag}" found)
      if(found EQUAL -1)
        message(FATAL_ERROR "${object} (compiled for ${TAG}) defines '${CMAKE_MATCH_2}', which code for "
                            "other processors could be linked to. Only templates over the ${TAG} lane layer "
                            "and the ${TAG} table may be defined there.")
      endif()
    endif()
  endforeach()
endforeach()
file(TOUCH ${STAMP})
