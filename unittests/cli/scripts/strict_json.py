"""JSON read strictly, as the program's documents and journals must be:
UTF-8, RFC 8259 (no NaN or Infinity), no duplicate member names."""
import json


def refuse(name):
    raise ValueError("not a JSON number: " + name)


def unique(pairs):
    names = [name for name, _ in pairs]
    if len(names) != len(set(names)):
        raise ValueError("duplicate member names")
    return dict(pairs)


def loads(data):
    """Parses `data` (bytes); raises ValueError when it is not strict JSON."""
    return json.loads(data.decode("utf-8"), parse_constant=refuse, object_pairs_hook=unique)
