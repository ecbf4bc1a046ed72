# A tiny made-up map (a bay with an island, a park with a hole, a few streets
# and two place points) for the tile builder's tests and for builds without
# the real map data. Written into the build tree at configure time.
function(write_sample_map_data directory)
  file(WRITE "${directory}/areas.geojson" [==[{"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"kind": "building"}, "geometry": {"type": "Polygon", "coordinates": [[[10.2050, 56.1560], [10.2056, 56.1560], [10.2056, 56.1564], [10.2050, 56.1564], [10.2050, 56.1560]]]}},
{"type": "Feature", "properties": {"kind": "park"}, "geometry": {"type": "Polygon", "coordinates": [
  [[10.190, 56.145], [10.200, 56.145], [10.200, 56.152], [10.190, 56.152], [10.190, 56.145]],
  [[10.194, 56.147], [10.194, 56.149], [10.197, 56.149], [10.197, 56.147], [10.194, 56.147]]]}},
{"type": "Feature", "properties": {"kind": "residential"}, "geometry": {"type": "MultiPolygon", "coordinates": [
  [[[10.170, 56.160], [10.180, 56.160], [10.180, 56.165], [10.170, 56.165], [10.170, 56.160]]],
  [[[10.182, 56.160], [10.186, 56.160], [10.186, 56.163], [10.182, 56.160]]]]}},
{"type": "Feature", "properties": {"kind": "grass"}, "geometry": {"type": "Polygon", "coordinates": [[[10.160, 56.150], [10.165, 56.155], [10.165, 56.150], [10.160, 56.155], [10.160, 56.150]]]}}
]}
]==])
  file(WRITE "${directory}/places.geojson" [==[{"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"type": "city", "name_en": "Aarhus"}, "geometry": {"type": "Point", "coordinates": [10.2108, 56.1567]}},
{"type": "Feature", "properties": {"type": "suburb", "name_en": "Trøjborg"}, "geometry": {"type": "Point", "coordinates": [10.206, 56.171]}}
]}
]==])
  file(WRITE "${directory}/roads.geojson" [==[{"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"highway": "primary", "oneway": "yes"}, "geometry": {"type": "LineString", "coordinates": [[10.180, 56.140], [10.195, 56.150], [10.210, 56.157]]}},
{"type": "Feature", "properties": {"highway": "residential"}, "geometry": {"type": "LineString", "coordinates": [[10.200, 56.150], [10.205, 56.160]]}},
{"type": "Feature", "properties": {"highway": "footway"}, "geometry": {"type": "LineString", "coordinates": [[10.203, 56.154], [10.207, 56.155], [10.209, 56.158]]}},
{"type": "Feature", "properties": {"highway": "unknown"}, "geometry": {"type": "LineString", "coordinates": [[10.19, 56.15], [10.20, 56.15]]}}
]}
]==])
  file(WRITE "${directory}/water.geojson" [==[{"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"layer": "water"}, "geometry": {"type": "Polygon", "coordinates": [
  [[10.215, 56.10], [10.40, 56.10], [10.40, 56.20], [10.222, 56.20], [10.218, 56.16], [10.215, 56.10]],
  [[10.30, 56.14], [10.30, 56.16], [10.33, 56.16], [10.33, 56.14], [10.30, 56.14]]]}},
{"type": "Feature", "properties": {"layer": "waterway", "class": "river"}, "geometry": {"type": "LineString", "coordinates": [
  [9.90, 56.20], [10.05, 56.17], [10.15, 56.155], [10.216, 56.152]]}}
]}
]==])
endfunction()
