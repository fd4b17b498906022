// Numbered message texts of the map-projection kit. The first four characters are the number.
#pragma once

inline constexpr const char* GIS_RS_ERR_ELLIPSOID_NOT_FOUND = "0200 Ellipsoid \"%s\" not found";
inline constexpr const char* GIS_RS_ERR_LATITUDE = "0210 Latitude %s out of scope";
inline constexpr const char* GIS_RS_ERR_LONGITUDE = "0211 Longitude %s out of scope";
inline constexpr const char* GIS_RS_ERR_EASTING = "0215 Easting %s out of scope";
inline constexpr const char* GIS_RS_ERR_NORTHING = "0216 Easting %s out of scope";
inline constexpr const char* GIS_RS_ERR_ORIGIN_LATITUDE = "0220 Origin latitide %s out of scope";
inline constexpr const char* GIS_RS_ERR_POINTS_TOO_CLOSE = "0223 Latitude of Point 1 & 2 to close";
inline constexpr const char* GIS_RS_ERR_ZONE = "0225 Zone \"%d%s\" out of scope";
inline constexpr const char* GIS_RS_ERR_ZONE_OVERRIDE = "0226 Zone \"%d%s\" override error";
inline constexpr const char* GIS_RS_ERR_NOT_SOLVABLE = "0235 Projection is not solvable for current parameters";

inline constexpr const char* GIS_RS_WRN_DISTORTED = "0236 Result will be distorted for current parameters";
inline constexpr const char* GIS_RS_WRN_LATITUDE = "0240 Latitude out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_LONGITUDE = "0241 Longitude out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_NORTHING = "0242 Northing out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_EASTING = "0243 Easting out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_ORIGIN_LATITUDE = "0244 Origin lattitude out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_CENTRAL_MERIDIAN = "0245 Standard meridian out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_PARALLEL_1 = "0246 First standard parallel out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_PARALLEL_2 = "0247 First standard parallel out of scope - corrected.";
inline constexpr const char* GIS_RS_WRN_SCALE_FACTOR = "0248 Scale factor out of scope - corrected.";
