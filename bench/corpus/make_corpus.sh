#!/usr/bin/env bash
# Builds a corpus of real XML files from installed Debian packages, for the
# tests and benchmarks that need documents written by others.
# Usage: make_corpus.sh OUTDIR
#
# Deterministic: the files come from each package's own file list (never from
# whatever else lies in the shared folders), in byte order, spread evenly over
# the package's matching files up to a cap. Each file copied goes to
# OUTDIR/<package>/<path without the leading />, with a line in
# OUTDIR/MANIFEST.tsv (path, package, version, sha256); a file that xmllint
# refuses goes to OUTDIR/EXCLUDED.tsv with the reason instead. A package that
# is not installed is skipped with a note on stderr.
set -euo pipefail
export LC_ALL=C

[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
out=$1
command -v xmllint >/dev/null || { echo "make_corpus: xmllint is missing (package libxml2-utils)" >&2; exit 1; }

per_package=25
max_bytes=$((2 * 1024 * 1024))
# The one file allowed past the size limit: a large real document.
large_file=/usr/share/mime/packages/freedesktop.org.xml

# package, then an extended regular expression the file's path must match.
sources=(
  "adwaita-icon-theme" '\.svg$'
  "docbook-xsl" '\.(xsl|xml)$'
  "docbook-xml" '\.xml$'
  "docbook5-xml" '\.(xml|rng|xsd)$'
  "fontconfig-config" '\.conf$'
  "dbus-session-bus-common" '^/usr/share/dbus-1/.*\.conf$'
  "dbus-system-bus-common" '^/usr/share/dbus-1/.*\.conf$'
  "shared-mime-info" '\.xml$'
  "iso-codes" '\.xml$'
  "gsettings-desktop-schemas" '\.gschema\.xml$'
  "xorg-sgml-doctools" '\.(xml|xsl)$'
)

# Never taken from, whatever a package lists: another XML editor's samples.
excluded_tree='^/usr/share/xmlcopyeditor/'

rm -rf "$out"
mkdir -p "$out"
manifest=$out/MANIFEST.tsv
excluded=$out/EXCLUDED.tsv
printf 'path\tpackage\tversion\tsha256\n' >"$manifest"
printf 'path\tpackage\treason\n' >"$excluded"

# Prints every count-th line of the candidates so that at most per_package are
# taken, spread over the whole sorted list rather than its first folder.
spread() {
  awk -v cap="$per_package" '{ line[NR] = $0 }
    END { if (NR <= cap) { for (i = 1; i <= NR; i++) print line[i]; exit }
          for (i = 0; i < cap; i++) print line[int(i * NR / cap) + 1] }'
}

for ((i = 0; i < ${#sources[@]}; i += 2)); do
  package=${sources[i]}
  pattern=${sources[i + 1]}
  version=$(dpkg-query -W -f='${Status} ${Version}' "$package" 2>/dev/null || true)
  if [[ $version != "install ok installed "* ]]; then
    echo "make_corpus: $package is not installed; skipped" >&2
    continue
  fi
  version=${version#install ok installed }
  candidates=()
  while IFS= read -r file; do
    [[ $file =~ $pattern ]] || continue
    [[ $file =~ $excluded_tree ]] && continue
    # Links would repeat a file under a second name.
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    size=$(stat -c %s "$file")
    if [ "$size" -gt "$max_bytes" ] && [ "$file" != "$large_file" ]; then continue; fi
    candidates+=("$file")
  done < <(dpkg -L "$package" | sort -u)
  [ ${#candidates[@]} -gt 0 ] || { echo "make_corpus: $package has no matching files" >&2; continue; }

  while IFS= read -r file; do
    rel=$package$file
    if ! reason=$(xmllint --noout --nonet "$file" 2>&1 >/dev/null); then
      reason=$(printf '%s' "$reason" | head -n 1 | tr '\t' ' ')
      printf '%s\t%s\t%s\n' "$rel" "$package" "${reason:-refused by xmllint}" >>"$excluded"
      continue
    fi
    mkdir -p "$out/$(dirname "$rel")"
    cp "$file" "$out/$rel"
    sum=$(sha256sum "$file" | cut -d' ' -f1)
    printf '%s\t%s\t%s\t%s\n' "$rel" "$package" "$version" "$sum" >>"$manifest"
  done < <(printf '%s\n' "${candidates[@]}" | spread)
done

taken=$(($(wc -l <"$manifest") - 1))
refused=$(($(wc -l <"$excluded") - 1))
echo "make_corpus: $taken files in $out ($refused refused by xmllint)" >&2
