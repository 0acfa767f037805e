#!/usr/bin/env bash
# Makes data/whois-servers.lst (every top-level domain with its port-43
# whois server, "-" for those without one) and data/rdap-dns.json (the RDAP
# bootstrap file for domains, in IANA's format, RFC 9224) from the npm
# package whoisserver-world, which carries IANA's whois and RDAP data for
# all top-level domains. The package is only unpacked (npm pack), never
# installed into the program. Entries of more than one label kept from the
# old table (".co.za") follow the top-level ones, so they win for their
# domains. Needs npm and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
version=${1:-1.0.31}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "whoisserver-world@$version" >/dev/null 2>&1 && tar xzf whoisserver-world-*.tgz)
python3 - "$work/package/whoisservers.json" "$version" <<'PY'
import json, sys, datetime

source, version = sys.argv[1], sys.argv[2]
data = json.load(open(source))
updated = max(v.get("t", 0) for v in data.values())
stamp = datetime.datetime.fromtimestamp(updated / 1000, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")

old = [l for l in open("data/whois-servers.lst", encoding="ascii").read().splitlines() if l.strip()]
extra = [l for l in old if l.split("|")[0].strip().count(".") > 1]

lines = []
for tld in sorted(data):
    servers = data[tld].get("whoisServer") or []
    lines.append("%-10s | %s" % ("." + tld, servers[0] if servers else "-"))
with open("data/whois-servers.lst", "w", encoding="ascii") as out:
    out.write("\n".join(lines + extra) + "\n")

services = {}
for tld in sorted(data):
    for url in data[tld].get("rdapServers") or []:
        base = url[: -len("domain/")] if url.endswith("domain/") else url
        services.setdefault(base, []).append(tld)
        break
bootstrap = {
    "description": "RDAP bootstrap file for Domain Name System registrations, made from "
                   "whoisserver-world %s (IANA data of %s)" % (version, stamp),
    "publication": stamp,
    "services": [[tlds, [url]] for url, tlds in sorted(services.items(), key=lambda s: s[1][0])],
    "version": "1.0",
}
with open("data/rdap-dns.json", "w", encoding="ascii") as out:
    json.dump(bootstrap, out, indent=1, ensure_ascii=True)
    out.write("\n")
print("%d top-level domains, %d without a port-43 server; %d RDAP services for %d domains; data of %s"
      % (len(lines), sum(1 for l in lines if l.endswith("| -")), len(services),
         sum(len(t) for t in services.values()), stamp))
PY
