# svg_data_url(VAR SVG): VAR becomes a data: URL that holds the SVG text SVG,
# with the characters that such a URL must not hold as they are escaped. Used
# by the scripts that put the page's icon and the guide's figures inside
# their one HTML file.
function(svg_data_url var svg)
  foreach(pair "%;%25" "#;%23" "<;%3C" ">;%3E" "\";%22" "\n;%0A")
    list(GET pair 0 from)
    list(GET pair 1 to)
    string(REPLACE "${from}" "${to}" svg "${svg}")
  endforeach()
  set(${var} "data:image/svg+xml,${svg}" PARENT_SCOPE)
endfunction()
