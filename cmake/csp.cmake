# What a self-contained page needs to run under a strict security policy:
# its WebAssembly as base64 in a data block, which its script hands to the
# program (so nothing is fetched, not even a data: URL), and the policy
# that allows exactly its own inline scripts and style sheets, by their
# SHA-256 hashes, worked out from the finished page so that it cannot drift.

# `script` made fit to stand inside a <script> element: no source map to ask
# for, and nothing that would end the element early.
function(inline_script out script)
  string(REGEX REPLACE "//# sourceMappingURL=[^\n]*" "" script "${script}")
  string(REPLACE "</script" "<\\/script" script "${script}")
  set(${out} "${script}" PARENT_SCOPE)
endfunction()

# The base64 of the file at `path` (coreutils' base64, on every Debian).
function(base64_of_file out path)
  execute_process(COMMAND base64 -w0 "${path}" OUTPUT_VARIABLE encoded COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${encoded}" PARENT_SCOPE)
endfunction()

# The base64 of the bytes written as `hex` (an even number of hex digits).
function(hex_to_base64 out hex)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(encoded "")
  set(at 0)
  while(at LESS length)
    string(SUBSTRING "${hex}" ${at} 6 chunk)
    string(LENGTH "${chunk}" digits)
    # Three bytes make four characters; a short last chunk is padded with "=".
    math(EXPR missing "6 - ${digits}")
    string(REPEAT "0" ${missing} zeros)
    math(EXPR value "0x${chunk}${zeros}")
    math(EXPR characters "${digits} / 2 + 1")
    foreach(shift 18 12 6 0)
      if(characters GREATER 0)
        math(EXPR index "(${value} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 character)
        string(APPEND encoded "${character}")
        math(EXPR characters "${characters} - 1")
      else()
        string(APPEND encoded "=")
      endif()
    endforeach()
    math(EXPR at "${at} + 6")
  endwhile()
  set(${out} "${encoded}" PARENT_SCOPE)
endfunction()

# 'sha256-...' for each element `<tag>...</tag>` of `html` (opened exactly
# so, without attributes), appended to the list in `out`.
function(csp_hashes out html tag)
  set(hashes ${${out}})
  set(rest "${html}")
  string(FIND "${rest}" "<${tag}>" open)
  while(NOT open EQUAL -1)
    string(LENGTH "<${tag}>" skip)
    math(EXPR from "${open} + ${skip}")
    string(SUBSTRING "${rest}" ${from} -1 rest)
    string(FIND "${rest}" "</${tag}>" close)
    string(SUBSTRING "${rest}" 0 ${close} content)
    string(SHA256 digest "${content}")
    hex_to_base64(encoded "${digest}")
    list(APPEND hashes "'sha256-${encoded}'")
    string(SUBSTRING "${rest}" ${close} -1 rest)
    string(FIND "${rest}" "<${tag}>" open)
  endwhile()
  set(${out} ${hashes} PARENT_SCOPE)
endfunction()

# The policy of a finished page `html`: nothing from the network; its own
# inline scripts and style sheets only, by hash; WebAssembly compiled from
# the bytes a script hands over ('wasm-unsafe-eval'); images only from data:,
# or from the sources `images` names where it is given.
function(csp_policy out html)
  set(images "data:")
  if(ARGC GREATER 2)
    set(images "${ARGV2}")
  endif()
  set(scripts "")
  csp_hashes(scripts "${html}" script)
  set(styles "")
  csp_hashes(styles "${html}" style)
  list(JOIN scripts " " scripts)
  list(JOIN styles " " styles)
  set(${out} "default-src 'none'; script-src ${scripts} 'wasm-unsafe-eval'; style-src ${styles}; img-src ${images}"
    PARENT_SCOPE)
endfunction()
