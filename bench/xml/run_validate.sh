#!/usr/bin/env bash
# Validate (every error listed) of the 100 MB generated document against a DTD
# and against an XML Schema, beside xmllint --noout --valid and --schema on the
# same files; prints the medians and the ratios.
#
#   bench/xml/run_validate.sh [path/to/stream_check_bench [path/to/xml_bench]]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program stream_check_bench "${1:-}")
gen=$(bench_program xml_bench "${2:-}")

dir=${BENCH_DIR:-/tmp/brindle-xml-bench}
runs=${RUNS:-3}
mkdir -p "$dir"
plain=$dir/catalog100.xml
[[ -s "$plain" ]] || "$gen" gen "$plain" 100 > /dev/null

cat > "$dir/catalog.dtd" <<'DTD'
<!ELEMENT catalog (book*)>
<!ATTLIST catalog xmlns:x CDATA #FIXED "urn:bench">
<!ELEMENT book (title, author, price, summary)>
<!ATTLIST book id ID #REQUIRED x:lang CDATA #IMPLIED>
<!ELEMENT title (#PCDATA)>
<!ELEMENT author (#PCDATA)>
<!ELEMENT price (#PCDATA)>
<!ATTLIST price currency CDATA #REQUIRED>
<!ELEMENT summary (#PCDATA)>
DTD
cat > "$dir/catalog.xsd" <<'XSD'
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:element name="catalog"><xs:complexType><xs:sequence>
    <xs:element name="book" minOccurs="0" maxOccurs="unbounded"><xs:complexType>
      <xs:sequence>
        <xs:element name="title" type="xs:string"/>
        <xs:element name="author" type="xs:string"/>
        <xs:element name="price"><xs:complexType><xs:simpleContent><xs:extension base="xs:decimal">
          <xs:attribute name="currency" type="xs:string" use="required"/>
        </xs:extension></xs:simpleContent></xs:complexType></xs:element>
        <xs:element name="summary" type="xs:string"/>
      </xs:sequence>
      <xs:attribute name="id" type="xs:ID" use="required"/>
      <xs:anyAttribute namespace="urn:bench" processContents="skip"/>
    </xs:complexType></xs:element>
  </xs:sequence></xs:complexType></xs:element>
</xs:schema>
XSD
# The same document naming its DTD, and naming its schema.
withDtd=$dir/catalog100-dtd.xml
withXsd=$dir/catalog100-xsd.xml
[[ -s "$withDtd" ]] || sed '1a <!DOCTYPE catalog SYSTEM "catalog.dtd">' "$plain" > "$withDtd"
[[ -s "$withXsd" ]] || sed '2s|<catalog |<catalog xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="catalog.xsd" |' \
  "$plain" > "$withXsd"

# median_seconds CMD...: median wall time of $runs runs.
median_seconds() {
  for ((i = 0; i < runs; i++)); do time_of "$@" | cut -d' ' -f1; done | median
}

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); $(du -m "$plain" | cut -f1) MB input; median of $runs runs"
"$bench" validate "$withDtd"
"$bench" validate "$withXsd"
ours=$(median_seconds "$bench" validate "$withDtd")
theirs=$(median_seconds xmllint --noout --huge --valid "$withDtd")
echo "DTD: Validate $ours s, xmllint --noout --valid $theirs s, ratio $(ratio "$ours" "$theirs")"
ours=$(median_seconds "$bench" validate "$withXsd")
theirs=$(median_seconds xmllint --noout --huge --schema "$dir/catalog.xsd" "$withXsd")
echo "XSD: Validate $ours s, xmllint --noout --schema $theirs s, ratio $(ratio "$ours" "$theirs")"
