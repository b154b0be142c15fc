# Sourced by the Wine runs before Wine starts: a Korean system, as the module's, whose
# ANSI code page is 949, in which the module's texts are written. Wine takes it from
# the Unix locale, which must exist.
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
  localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
export LANG=ko_KR.UTF-8
