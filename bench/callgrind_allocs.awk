# Calls from one object file (-v object=PATTERN) to the heap allocator in a callgrind profile.
# Names are given once, on the first line that uses their number.
function remember(text, table,    id, name) {
    id = text
    sub(/ .*/, "", id)
    if (text ~ / /) {
        name = text
        sub(/^[^ ]+ /, "", name)
        table[id] = name
    }
    return id
}
/^(ob|cob|cfob)=/ {
    text = $0
    sub(/^[a-z]+=/, "", text)
    id = remember(text, objects)
    if ($0 ~ /^ob=/) ob = id
    next
}
/^(fn|cfn|cfi|cfl)=/ {
    text = $0
    sub(/^[a-z]+=/, "", text)
    if ($0 ~ /^cfn=/) callee = remember(text, functions)
    else if ($0 ~ /^fn=/) remember(text, functions)
    next
}
/^calls=/ {
    n = $1
    sub(/^calls=/, "", n)
    if (objects[ob] ~ object && functions[callee] ~ /^(malloc|calloc|realloc|operator new)/)
        allocations += n
    next
}
END { print allocations + 0 }
